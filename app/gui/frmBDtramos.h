// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>

#include "gui/widgets/app_services.h"
#include "shell/reference_tramos.h"
#include "shell/row_versions.h"

class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;

namespace kambrix {

class GridView;
class NumberBox;

// The reference-span catalogue editor: the spans of the machines and their brands, added,
// corrected and removed. Closing with a span edited and not stored asks to save it first.
class frmBDtramos : public QWidget {
  public:
    explicit frmBDtramos(const AppServices& services, QWidget* parent = nullptr);

    // Stores the span of the form (and its brand when the name is new): the selected span is
    // corrected, a new one added.
    bool cmdGuardar_Click();
    // Removes the selected span.
    bool cmdBorrar_Click();
    // Clears the form for a new span.
    void cmdNuevo_Click();
    // Stores the brand named in the brand box.
    bool cmdGuardarMarca_Click();
    bool cmdRenombrarMarca_Click();
    bool cmdBorrarMarca_Click();

    // The id of the span in the form; 0 for a new one.
    int selectedSpan() const { return selectedId_; }
    // The form differs from the span last shown or stored (or from the blank form).
    bool hasUnsavedSpan() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The brand, the name and the number boxes' texts, as they stand.
    QStringList formTexts() const;
    void markFormShown() { shownTexts_ = formTexts(); }
    void reload(int selectId);
    void spanChosen(int row);
    void clearForm();
    // Runs one unit of work on the catalogue; the numbers this editor words itself and the
    // database's failures (as `action`) become messages, anything else travels on.
    bool run(const std::string& action, const std::function<void(quarvex::Connection&)>& work);
    const TramoMarca* storedBrand() const;

    AppServices services_;
    quarvex::Collection<TramoMarca> marcas_;
    std::vector<ReferenceTramo> spans_;
    int selectedId_ = 0;
    // Who saved each span last, read with the list; the chosen span's goes with its save.
    std::map<std::string, RowStamp> stamps_;
    RowStamp selectedStamp_;
    QLabel* lblGuardadoPor_ = nullptr;
    QStringList shownTexts_;
    QComboBox* cboMarca_;
    GridView* grdTramos_;
    QLineEdit* txtDenominacion_;
    NumberBox* longitud_;
    NumberBox* diametro_;
    NumberBox* exterior_;
    NumberBox* separacion_;
};

}  // namespace kambrix
