// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "design/evaluation_diagnosis_presenter.h"
#include "evaluation/catch_can_session.h"
#include "gui/widgets/app_services.h"
#include "report/report_renderer.h"
#include "shell/report_document.h"

class QCheckBox;
class QChart;
class QComboBox;
class QLineEdit;
class QChartView;
class QCloseEvent;
class QLabel;
class QPainter;
class QPushButton;
class QRectF;
class QTableWidget;

namespace kambrix {

class GridView;
class NumberBox;

// One catch-can evaluation: the can diameter (cm) and the readings of the two radii, each in
// its grid (grdRadio1, grdRadio2: "Position", "V(j) (ml)", "S(j) (m)", "D(j) (mm)"). The user
// types volume and distance; the depth follows. Rows left out of the results are struck out
// and counted; cans departing more than 20 % from the average depth are marked in the grid
// and on the plot. The results of each radius and of both, with the uniformity band, follow
// every edit. Spreadsheet cells are pasted (Ctrl+V) and copied (Ctrl+C); the readings are
// imported from and exported to the file kambrix-cli evaluate reads; the report is previewed,
// printed or saved as PDF. Closing with unsaved changes asks whether to save them.
class frmPluviometros : public QWidget {
  public:
    frmPluviometros(const AppServices& services, const quarvex::PivotEvaluation& evaluation,
                    QWidget* parent = nullptr);
    ~frmPluviometros() override;

    const CatchCanSession& session() const { return session_; }
    // The diagnosis the panel shows (of the valid readings, against the linked chart).
    const DiagnosisView& diagnosis() const { return diagnosisView_; }
    QTableWidget* grid(Radius radius) const { return grids_[index(radius)]; }

    // --- row commands on a grid (the selection's rows; the current row when none) ---
    void addRow(Radius radius);
    void insertRow(Radius radius);
    void deleteRows(Radius radius);
    void clearRows(Radius radius);
    void sortRows(Radius radius);
    void undo();

    // --- spreadsheets ---
    // Pastes the tab-separated text into the grid from its current row on (the end when no
    // row is current); a block that cannot be read is told and changes nothing.
    void pasteText(Radius radius, const QString& text);
    // The selected cells of the grid as tab-separated text (the rectangle around them).
    QString selectionText(Radius radius) const;
    // cmdImportar / cmdExportar: ask for the file, then importFile / exportFile; failures are
    // told in a box. Both return false when nothing was done.
    void cmdImportar_Click();
    void cmdExportar_Click();
    // Readings already in the grids are replaced only after a question (default No).
    bool importFile(const QString& path);
    bool exportFile(const QString& path);

    // --- the report ---
    report::Document reportDocument() const;
    // Draws the depth plot into the box (the report's figure).
    void paintPlot(QPainter& painter, const QRectF& box) const;
    void cmdVistaPrevia_Click();
    void cmdPDF_Click();
    bool savePdf(const QString& path);
    // Draws the report's figures the window owns (the depth plot).
    report::FigurePainter figurePainter() const;

    // cmdGuardar; false when the evaluation could not be stored (told in a box).
    bool save();
    // The user's answer to a save refused because someone else saved or deleted the
    // evaluation since it was opened: save it under another name, or read it again.
    bool resolveConflict(const std::string& message);
    // The evaluation was created empty for this window: when the user declines to save it on
    // closing and it was never saved, the empty evaluation is removed again.
    void discardIfLeftUnsaved(bool on) { discardUnsaved_ = on; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    static std::size_t index(Radius radius) { return radius == Radius::First ? 0 : 1; }
    void cellEdited(Radius radius, int row, int column);
    void diameterAccepted();
    // Shows the session: both grids, the results, the plot, the commands' states.
    void refresh();
    void refreshGrid(Radius radius);
    void refreshResults();
    void refreshPlot();
    void refreshDiagnosis();
    void showConditions();
    // Reads the condition boxes into the session (one step of undo).
    void conditionsEdited();
    QChart* buildPlot() const;
    std::vector<int> selectedRows(Radius radius) const;
    int targetRow(Radius radius) const;
    void told(const std::string& message);

    AppServices services_;
    CatchCanSession session_;
    NumberBox* diameter_ = nullptr;
    std::array<QTableWidget*, 2> grids_{};
    std::array<QLabel*, 2> counts_{};
    GridView* results_ = nullptr;
    QLabel* lblBanda_ = nullptr;
    QChartView* chart_ = nullptr;
    QPushButton* cmdDeshacer_ = nullptr;
    QPushButton* cmdGuardar_ = nullptr;
    // The test's conditions and the chart it tests.
    class QuietPrompts;
    std::unique_ptr<QuietPrompts> prompts_;
    std::unique_ptr<EvaluationDiagnosisPresenter> presenter_;
    DiagnosisView diagnosisView_;
    QComboBox* cmbCarta_ = nullptr;
    QLineEdit* txtFecha_ = nullptr;
    QLineEdit* txtHora_ = nullptr;
    QLineEdit* txtDireccion_ = nullptr;
    QLineEdit* txtNotas_ = nullptr;
    NumberBox* duracion_ = nullptr;
    NumberBox* temporizador_ = nullptr;
    NumberBox* viento_ = nullptr;
    NumberBox* temperatura_ = nullptr;
    NumberBox* presion_ = nullptr;
    NumberBox* caudal_ = nullptr;
    NumberBox* espaciado_ = nullptr;
    QCheckBox* chkSinCanon_ = nullptr;
    QCheckBox* chkSuavizado_ = nullptr;
    QLabel* lblDiagnostico_ = nullptr;
    GridView* antesDespues_ = nullptr;
    bool refreshing_ = false;
    bool discardUnsaved_ = false;
    bool savedOnce_ = false;
};

}  // namespace kambrix
