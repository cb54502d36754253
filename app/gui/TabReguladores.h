// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "design/print_tab_presenter.h"
#include "design/regulator_tab_presenter.h"
#include "gui/widgets/tab_page.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kambrix {

class CheckedBox;
class MessageService;

// The pressure regulators of the chart: one row per span of the pivot, the overhang
// included ("Check1_i" fitted, "Text1_i" set pressure in kPa, "Label2_i" the span, and the
// regulator's discharge range when the user gives one; i is the span number), applied to
// the current pivot by "cmdAplicaReguladores". What is applied is used by the next
// computation of either package and is stored with the chart, with the model of the
// regulators ("txtModeloRegulador", printed with the chart).
class TabReguladores : public TabPage {
    Q_OBJECT

  public:
    TabReguladores(ChartWorkbench& workbench, MessageService& messages, QWidget* parent = nullptr);
    void updateData() override;
    void clear() override;

    // Checks every box and applies the rows; false when a box or the workbench refused.
    bool apply();
    // The rows as the boxes hold them.
    std::vector<RegulatorInput> inputs() const;
    // Edits not applied yet.
    bool hasUnappliedEdits() const;

  private:
    struct Row {
        int tramo = 0;
        QCheckBox* fitted = nullptr;
        QLabel* label = nullptr;
        CheckedBox* pressure = nullptr;
        CheckedBox* minimum = nullptr;
        CheckedBox* maximum = nullptr;
    };
    void fill(const std::vector<RegulatorRow>& rows);
    void enableRow(const Row& row);
    void showState();

    MessageService& messages_;
    std::vector<Row> rows_;
    RegulatorTabPresenter presenter_;
    PrintTabPresenter print_;
    QLabel* lblEstado_ = nullptr;
    QLineEdit* model_ = nullptr;
};

}  // namespace kambrix
