// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "design/chart_workbench.h"
#include "gui/widgets/app_services.h"

class QAction;
class QCloseEvent;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace kambrix {

class GridView;
class TabPage;
class TabReguladores;
class TabDrop;

// The sprinkler-chart workbench of the current project: the automatic package and the
// manual chart computed outlet by outlet in one grid, the chart edited outlet by outlet, the
// brand and model filter, the stored charts of the project, the regulators, the drop and the
// end-gun booster, and the printed chart. The work itself is ChartWorkbench's; the window
// reads its controls, calls it and shows the result.
class frmCaspersores : public QWidget {
    Q_OBJECT

  public:
    // On the stored project of the document. A pivot that is not complete or a catalogue
    // that cannot be read raise AppError (the opener shows it).
    explicit frmCaspersores(const AppServices& services, QWidget* parent = nullptr);
    ~frmCaspersores() override;

    ChartWorkbench& workbench() { return *workbench_; }

    // A result tab of the current pivot: added to the tabs; its updateData() runs after
    // every computation, chart opened, new chart and copy to the manual chart.
    void addResultTab(TabPage* page, const QString& caption);
    // Enables "cmdCompararCartas" and runs `handler` when it is clicked.
    void setCompareHandler(std::function<void()> handler);

    // The commands, as their buttons run them.
    void computeAutomatic();
    void computeManual();
    void copyToManual();
    // Writes the printed chart as a PDF file; false when it could not be written.
    bool savePdf(const QString& path);
    // The text of the summary line under the grid.
    QString summaryLine() const;

  signals:
    // The user chose the distance of the selected outlet from the pivot point (m) for runoff
    // point 1 or 2.
    void outletDistanceChosen(int point, double distance_m);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    class Prompts;
    class GridSink;

    QWidget* buildCommands();
    QWidget* buildOutletPage();
    void connectCommands();
    // After anything that changed what the grid shows: summary, lists, tabs.
    void refresh(bool tabs);
    void refreshCharts();
    void refreshState();
    // The grid, the summary, the legend and the booster choices in the shown units.
    void redrawInUnits();
    static QString legendText();
    void fillSprinklerChoices(int row);
    void chooseSprinkler(int index);
    void removeSprinkler();
    void openSprinklerList(int row);
    void applyFilter();
    void brandChosen();
    void chooseOutletDistance(int point);
    void exportCsv();
    void printChart();
    void savePdfCommand();
    bool ensureComputed();
    void chartEdited();

    AppServices services_;
    std::unique_ptr<Prompts> prompts_;
    std::unique_ptr<ChartWorkbench> workbench_;
    std::unique_ptr<GridSink> sink_;
    std::vector<TabPage*> tabs_;
    std::function<void()> compare_;
    bool filling_ = false;

    GridView* grid_ = nullptr;
    QLabel* lblResumen_ = nullptr;
    QLabel* lblLeyenda_ = nullptr;
    QLabel* lblActual_ = nullptr;
    QTabWidget* tabCarta_ = nullptr;
    TabReguladores* tabReguladores_ = nullptr;
    TabDrop* tabDrop_ = nullptr;
    QPushButton* cmdCartaOp_ = nullptr;
    QPushButton* cmdCalcManual_ = nullptr;
    QPushButton* cmdCopiarManual_ = nullptr;
    QComboBox* cmbPercentVar_ = nullptr;
    QComboBox* cmbAspersores_ = nullptr;
    QPushButton* cmdQuitarAspersor_ = nullptr;
    QRadioButton* optEscogerTodos_ = nullptr;
    QRadioButton* optEscogerMarca_ = nullptr;
    QRadioButton* optEscogerModelo_ = nullptr;
    QComboBox* cmbEscogerMarca_ = nullptr;
    QComboBox* cmbEscogerModelo_ = nullptr;
    QComboBox* cmbEndGunBoost_ = nullptr;
    QListWidget* lstCartas_ = nullptr;
    QLabel* lblGuardadoPor_ = nullptr;  // who saved the chart chosen in the list, and when
    QPushButton* cmdAbrir_ = nullptr;
    QPushButton* cmdCartaVazia_ = nullptr;
    QPushButton* cmdAceptarTudo_ = nullptr;
    QPushButton* cmdAceptarCon_ = nullptr;
    QPushButton* cmdBorrar_ = nullptr;
    QPushButton* cmdCompararCartas_ = nullptr;
    QPushButton* cmdExportar_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdPdf_ = nullptr;
    QPushButton* cmdSalir_ = nullptr;
    QAction* actPonto1_ = nullptr;
    QAction* actPonto2_ = nullptr;
};

}  // namespace kambrix
