// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

#include "gui/widgets/app_services.h"

class QListWidget;
class QListWidgetItem;
class QShowEvent;

namespace quarvex {
struct PivotEvaluation;
}

namespace kambrix {

// The stored catch-can evaluations: create one by name (replacing one of the same name only
// when the user agrees), open one (by name or by choosing it in the list) or delete one.
// Creating or opening hands over to the evaluation window frmPluviometros; the list is read
// again whenever the window shows.
class frmPivotEvaluations : public QWidget {
  public:
    explicit frmPivotEvaluations(const AppServices& services, QWidget* parent = nullptr);

    void refreshList();
    void selectNamed(const QString& name);
    // cmdNueva: asks for the name of the new evaluation.
    void cmdNueva_Click();
    // cmdAbrir: asks for the name to open, offering the one chosen in the list.
    void cmdAbrir_Click();
    // cmdBorrar: asks for the name to delete, offering the one chosen in the list.
    void cmdBorrar_Click();
    // The evaluation of that name opens at once (a double click or Enter in the list).
    void openNamed(const QString& name);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QString selectedName() const;
    // The evaluation window; `created`: the evaluation was just stored empty, and goes again
    // when the user declines to save it on closing the window.
    void openEvaluation(const quarvex::PivotEvaluation& evaluation, bool created = false);

    AppServices services_;
    QListWidget* lstEvaluaciones_ = nullptr;
};

}  // namespace kambrix
