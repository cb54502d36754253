// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <quarvex/quarvex.h>

#include <QStringList>
#include <QWidget>
#include <map>
#include <optional>

#include "gui/widgets/app_services.h"
#include "shell/catalogue_store.h"

class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QChartView;

namespace kambrix {

class GridView;
class NumberBox;

// The sprinkler catalogue editor: brands, models and nozzles (q = a·p^b with their pressure
// and discharge ranges) added, corrected and removed, and the discharge curve of the nozzle
// in the form. Changing or removing a nozzle that stored sprinkler charts mount asks first
// and names the charts. Closing with a nozzle edited and not stored asks to save it first.
class frmBDasp : public QWidget {
  public:
    explicit frmBDasp(const AppServices& services, QWidget* parent = nullptr);

    // Stores the nozzle of the form: the selected nozzle is corrected, a new one is added
    // (with a new brand or model when the names are new). False when a check, the user or
    // the store stopped it.
    bool cmdGuardar_Click();
    // Removes the selected nozzle.
    bool cmdBorrarBoquilla_Click();
    // Clears the form for a new nozzle of the brand and model shown.
    void cmdNuevaBoquilla_Click();
    bool cmdRenombrarMarca_Click();
    bool cmdBorrarMarca_Click();
    bool cmdRenombrarModelo_Click();
    bool cmdBorrarModelo_Click();
    // Opens the import of a maker's table; after an import the catalogue is read again and
    // shows the brand and model the nozzles went to.
    void cmdImportarTabla_Click();
    // Draws q = a·p^b over the nozzle's pressure range from the form.
    void drawCurve();

    // The catalogue id of the nozzle in the form; 0 for a new one.
    int selectedNozzle() const { return selectedId_; }
    // The form differs from the nozzle last shown or stored (or from the blank form).
    bool hasUnsavedNozzle() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The name and the number boxes' texts, as they stand.
    QStringList formTexts() const;
    // The exponent b of the form, 0 when not given: the unit of a shown depends on it.
    double exponent() const;
    // lblA names the units a is shown in.
    void showCoefficientCaption();
    // What the form holds now counts as unchanged.
    void markFormShown() { shownTexts_ = formTexts(); }
    // Reads the catalogue again and shows the brand and model, with the nozzle of that id
    // (or, for a nozzle just added, that name) in the form.
    void reload(const QString& brand, const QString& model, int nozzleId,
                const std::string& nozzleName = {});
    void brandChanged();
    void modelChanged(int nozzleId = 0, const std::string& nozzleName = {});
    void nozzleChosen(int row);
    void clearForm();
    std::optional<quarvex::marca> storedBrand() const;
    std::optional<quarvex::modelo> storedModel() const;
    // Inside a catch block: the numbers this editor words itself, then the database's
    // failures as `action`; anything else travels on.
    void reportFailure(const std::string& action);
    // " It is mounted in the sprinkler charts ..." for the nozzles, or an empty text.
    QString chartsSentence(const std::vector<int>& nozzles, const char* consequence);

    AppServices services_;
    quarvex::Collection<quarvex::marca> marcas_;
    quarvex::Collection<quarvex::modelo> modelos_;
    quarvex::AspersorList aspersores_;
    std::vector<std::shared_ptr<quarvex::Aspersor>> shown_;
    int selectedId_ = 0;
    // Who saved each nozzle last, read with the list; the chosen nozzle's goes with its save.
    std::map<std::string, RowStamp> stamps_;
    RowStamp selectedStamp_;
    QLabel* lblGuardadoPor_ = nullptr;
    bool filling_ = false;
    QStringList shownTexts_;

    QComboBox* cboMarca_;
    QComboBox* cboModelo_;
    GridView* grdBoquillas_;
    QLineEdit* txtBoquilla_;
    NumberBox* a_;
    NumberBox* b_;
    NumberBox* pmin_;
    NumberBox* pmax_;
    NumberBox* qmin_;
    NumberBox* qmax_;
    QChartView* chtCurva_;
    QLabel* lblA_ = nullptr;
    QString coefficientCaption_;  // lblA's caption in the stored units
};

}  // namespace kambrix
