// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "design/agronomic_design_presenter.h"
#include "gui/widgets/app_services.h"

class QCloseEvent;

namespace kambrix {

class EfficiencyFrame;
class NumberBox;

// The agronomic design from the user's own data: crop water need, application efficiency,
// gross irrigation requirement and the system discharge the hydraulic design starts from.
// The results follow the inputs as they are accepted; the commands also say which input is
// missing. Saving stores the project (with the discharge) and its agronomic record.
class AgronomicDesign : public QWidget {
  public:
    explicit AgronomicDesign(const AppServices& services, QWidget* parent = nullptr);

    // cmdCalc: every result the inputs allow, and a message for the first input missing.
    void cmdCalc_Click();
    // cmd_compute_caudal: the system discharge, or why there is none.
    void cmd_compute_caudal_Click();
    // cmdGuardar; false when a check stopped it or the store failed (nothing saved then).
    bool save();

    bool hasChanges() const { return dirty_; }
    AgronomicBoxes boxes() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void changed();
    bool commitBoxes();

    AppServices services_;
    AgronomicDesignPresenter presenter_;
    EfficiencyFrame* efficiency_ = nullptr;
    NumberBox* kf_ = nullptr;
    NumberBox* etc_ = nullptr;
    NumberBox* pe_ = nullptr;
    NumberBox* area_ = nullptr;
    NumberBox* horas_ = nullptr;
    bool dirty_ = false;
};

}  // namespace kambrix
