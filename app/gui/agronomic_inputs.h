// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the two agronomic windows are built of: a number box for one agronomic input,
// checked against that input's range when the user leaves it, in a row with its caption and
// unit; a result label in such a row; the application-efficiency frame (the six inputs and
// the three results both windows show); and the result texts of a presenter put on the
// window's labels.
#pragma once

#include <QGroupBox>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "design/agronomic_boxes.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace kambrix {

class MessageService;
class NumberBox;

// Adds "caption [box] unit" as row `row` of `grid`: the box `name` (a blank box is "not
// given"), its caption label `labelName` and, when `unit` is not empty, the unit label
// `labelName` + "_u". An input with a unit quantity (inputQuantity) shows and takes its number
// in the shown units, and its unit label names the shown unit. The box refuses, when left, a text
// that is not a number or a value outside the input's range, with the agronomic screens' messages;
// `accepted` runs after a changed text was accepted.
NumberBox* agronomicBox(QWidget* parent, QGridLayout* grid, int row, const char* name,
                        const char* labelName, const QString& caption, const QString& unit,
                        AgronomicInput input, MessageService& messages,
                        std::function<void()> accepted);

// Adds "caption [result] unit" as row `row` of `grid`; returns the result label `name`. The
// unit label of a result with a quantity names the shown unit.
QLabel* resultRow(QWidget* parent, QGridLayout* grid, int row, const char* name,
                  const char* labelName, const QString& caption, const QString& unit,
                  std::optional<Quantity> quantity = std::nullopt);

// Puts a presenter's box text into the box as its accepted text (blank: not given).
void setBoxText(NumberBox* box, const std::string& text);

// The new texts of the result labels of `window` (found by labelName); labels the texts
// leave alone keep theirs. The texts are in stored units; a result with a quantity is shown
// in the shown units.
void showResultTexts(QWidget* window, const ResultTexts& texts);
// The result labels of `window` again in the shown units (after they changed).
void redrawResultsInUnits(QWidget* window);

// A command's answer: the label texts, then its message in a box, then its computation
// fault raised again for the window's error handling.
void showCommandResult(QWidget* window, MessageService& messages, const ResultTexts& result);

// The save command of an agronomic screen: `save` runs the presenter's save; a store failure
// is told as `failure`, a refusal by its message; once saved, lblCaudal_v shows the stored
// discharge and the status line `savedStatus`. False when nothing was saved.
bool saveAgronomicScreen(QWidget* window, MessageService& messages,
                         const std::function<SaveOutcome()>& save, const char* failure,
                         const QString& savedStatus);

// The frame "fraEficiencia" with txtPa, txtCU, txtEto, txtU, cmbCI (7 to 17), txtOe and the
// results lblDEpa_v, lblRe_v, lblEpa_v.
class EfficiencyFrame : public QGroupBox {
  public:
    // `changed` runs when the user changed an input (a box accepted, another CI chosen).
    EfficiencyFrame(MessageService& messages, std::function<void()> changed,
                    QWidget* parent = nullptr);

    EfficiencyBoxes boxes() const;
    // Shows stored values without telling `changed`.
    void fill(const EfficiencyBoxes& boxes);
    // The leave-the-box check of the six boxes; false at the first refusal (focus there).
    bool commit();
    // The inputs in the order Tab walks through them.
    std::vector<QWidget*> tabOrder() const;

  private:
    std::function<void()> changed_;
    NumberBox* pa_;
    NumberBox* cu_;
    NumberBox* eto_;
    NumberBox* u_;
    QComboBox* ci_;
    NumberBox* oe_;
    bool filling_ = false;
};

}  // namespace kambrix
