// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "design/nozzle_fit.h"
#include "gui/widgets/app_services.h"

class QCheckBox;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;

namespace kambrix {

class GridView;

// A maker's table of nozzles into the catalogue: the table read (one row per point: nozzle,
// pressure, discharge, after a heading line; comma, semicolon or tab separated, psi and gpm
// on request), q = a·p^b fitted for each nozzle and listed with its largest error at the
// table's points, the points and the fitted curve of the nozzle under the cursor, and the
// ticked nozzles added to one brand and model in one transaction.
class frmImportarTabla : public QWidget {
    Q_OBJECT

  public:
    // `imported(brand, model)` is called after a successful import, so the catalogue
    // editor can show what was added.
    frmImportarTabla(const AppServices& services, QWidget* parent,
                     std::function<void(const QString&, const QString&)> imported = {});

    // Asks for the table and reads it.
    void cmdArchivo_Click();
    // Reads and fits the table; a file or table that cannot be read is shown in a box and
    // leaves the list as it was. True when the table was read.
    bool loadFile(const QString& path);
    // Adds the ticked nozzles to the brand and model of the boxes, after a question.
    bool cmdImportar_Click();

    const std::vector<NozzleFit>& fits() const noexcept { return fits_; }
    // The fits ticked in the list, in its order.
    std::vector<NozzleFit> chosen() const;
    void setChosen(int row, bool chosen);

  private:
    // Fits the text read last with the units of the check box.
    bool fitText();
    void showFits();
    void drawFit(int row);
    void fillBrands();
    void fillModels();
    void updateSummary();

    AppServices services_;
    std::function<void(const QString&, const QString&)> imported_;
    std::string text_;
    QString path_;
    std::vector<NozzleFit> fits_;
    bool filling_ = false;

    QLineEdit* txtArchivo_;
    QCheckBox* chkUnidadesUS_;
    GridView* grdAjustes_;
    QChartView* chtAjuste_;
    QComboBox* cboMarca_;
    QComboBox* cboModelo_;
    QLabel* lblResumen_;
};

}  // namespace kambrix
