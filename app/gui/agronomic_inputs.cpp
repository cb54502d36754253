// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/agronomic_inputs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <limits>

#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/units_view.h"
#include "shell/unit_captions.h"

namespace kambrix {

namespace {

// Every finite number passes the box's own range: the input's range is checked by
// extraCheck, with the agronomic screens' message.
constexpr NumberRange kAnyNumber{-std::numeric_limits<double>::max(),
                                 std::numeric_limits<double>::max()};

constexpr int kResultWidth = 90;  // px, room for "41,67" and more

// The result's text and value in stored units, kept on its label.
const char* const kStoredResult = "kambrixStoredResult";
const char* const kStoredValue = "kambrixStoredValue";

// Shows a result given in stored units in the shown units: its value when known (the text
// is rounded), else the number of its text.
void showResultInUnits(QLabel* label, ResultLabel result, const std::string& stored,
                       std::optional<double> value) {
    label->setProperty(kStoredResult, QString::fromStdString(stored));
    label->setProperty(kStoredValue, value ? QVariant(*value) : QVariant());
    const auto q = resultQuantity(result);
    const UnitSystem units = shownUnits();
    const char sep = decimalSeparator();
    std::string shown = stored;
    if (q && !unitOf(*q, units).isStored() && !stored.empty()) {
        shown =
            value ? shownNumber(*q, units, *value, sep) : numbersInUnits(stored, *q, units, sep);
    }
    label->setText(QString::fromStdString(shown));
}

constexpr ResultLabel kResults[] = {ResultLabel::DEpa, ResultLabel::Re, ResultLabel::Epa,
                                    ResultLabel::GIR, ResultLabel::Caudal};

QLabel* resultLabel(QWidget* window, ResultLabel l) {
    return window->findChild<QLabel*>(QString::fromLatin1(labelName(l)));
}

}  // namespace

NumberBox* agronomicBox(QWidget* parent, QGridLayout* grid, int row, const char* name,
                        const char* labelName, const QString& caption, const QString& unit,
                        AgronomicInput input, MessageService& messages,
                        std::function<void()> accepted) {
    auto* edit = namedEdit(parent, name);
    auto* box = new NumberBox(edit, kAnyNumber, QString::fromStdString(inputName(input)), true,
                              messages, std::move(accepted));
    box->extraCheck = [input](double x) -> std::optional<std::string> {
        if (rangeOf(input).contains(x)) {
            return std::nullopt;
        }
        return rangeMessage(input, decimalSeparator());
    };
    auto* label = namedLabel(parent, labelName, caption);
    label->setBuddy(edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    QLabel* unitLabelOfBox = nullptr;
    if (!unit.isEmpty()) {
        unitLabelOfBox = namedLabel(parent, (std::string(labelName) + "_u").c_str(), unit);
        grid->addWidget(unitLabelOfBox, row, 2);
    }
    if (const auto q = inputQuantity(input)) {
        box->setQuantity(*q);
        if (unitLabelOfBox != nullptr) {
            unitLabel(unitLabelOfBox, *q);
        }
    }
    return box;
}

QLabel* resultRow(QWidget* parent, QGridLayout* grid, int row, const char* name,
                  const char* labelName, const QString& caption, const QString& unit,
                  std::optional<Quantity> quantity) {
    auto* result = namedLabel(parent, name, QString());
    result->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    result->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    result->setMinimumWidth(kResultWidth);
    result->setMaximumWidth(120);
    result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont f = result->font();
    f.setBold(true);
    result->setFont(f);
    grid->addWidget(namedLabel(parent, labelName, caption), row, 0);
    grid->addWidget(result, row, 1);
    if (!unit.isEmpty()) {
        auto* u = namedLabel(parent, (std::string(labelName) + "_u").c_str(), unit);
        if (quantity) {
            unitLabel(u, *quantity);
        }
        grid->addWidget(u, row, 2);
    }
    return result;
}

void setBoxText(NumberBox* box, const std::string& text) {
    const double x = boxValue(text, decimalSeparator());
    if (x == kMissing || !std::isfinite(x)) {
        box->setBlank();
    } else {
        box->setExactValue(x, /*everyDigit=*/true);
    }
    // A long value (all the digits of a file's Qfc) shows its first digits, not its last.
    box->box()->setCursorPosition(0);
}

void showResultTexts(QWidget* window, const ResultTexts& texts) {
    for (ResultLabel l : kResults) {
        const auto text = texts.text(l);
        auto* label = resultLabel(window, l);
        if (text && label != nullptr) {
            showResultInUnits(label, l, *text, text->empty() ? std::nullopt : texts.value(l));
        }
    }
}

void redrawResultsInUnits(QWidget* window) {
    for (ResultLabel l : kResults) {
        auto* label = resultLabel(window, l);
        if (label != nullptr && label->property(kStoredResult).isValid()) {
            const QVariant value = label->property(kStoredValue);
            showResultInUnits(
                label, l, label->property(kStoredResult).toString().toStdString(),
                value.isValid() ? std::optional<double>(value.toDouble()) : std::nullopt);
        }
    }
}

EfficiencyFrame::EfficiencyFrame(MessageService& messages, std::function<void()> changed,
                                 QWidget* parent)
    : QGroupBox(QStringLiteral("Eficiencia de aplicación"), parent), changed_(std::move(changed)) {
    setObjectName("fraEficiencia");
    auto* grid = new QGridLayout(this);
    auto accepted = [this] {
        if (!filling_ && changed_) {
            changed_();
        }
    };
    using In = AgronomicInput;
    pa_ = agronomicBox(this, grid, 0, "txtPa", "lblPa",
                       QStringLiteral("Área adecuadamente regada, Pa"), QStringLiteral("%"), In::Pa,
                       messages, accepted);
    cu_ = agronomicBox(this, grid, 1, "txtCU", "lblCU",
                       QStringLiteral("Coeficiente de uniformidad, CU"), QStringLiteral("%"),
                       In::CU, messages, accepted);
    eto_ = agronomicBox(this, grid, 2, "txtEto", "lblEto",
                        QStringLiteral("Evapotranspiración de referencia, Eto"),
                        QStringLiteral("mm/día"), In::Eto, messages, accepted);
    u_ = agronomicBox(this, grid, 3, "txtU", "lblU", QStringLiteral("Velocidad del viento, U"),
                      QStringLiteral("km/h"), In::U, messages, accepted);
    ci_ = new QComboBox(this);
    ci_->setObjectName("cmbCI");
    for (const std::string& item : ciChoices()) {
        ci_->addItem(QString::fromStdString(item));
    }
    ci_->setCurrentIndex(-1);
    ci_->setMaximumWidth(120);
    auto* lblCI = namedLabel(this, "lblCI", QStringLiteral("Índice de tamaño de gota, CI"));
    lblCI->setBuddy(ci_);
    grid->addWidget(lblCI, 4, 0);
    grid->addWidget(ci_, 4, 1);
    grid->addWidget(namedLabel(this, "lblCI_u", QStringLiteral("7 a 17")), 4, 2);
    onSignal(ci_, &QComboBox::currentIndexChanged, this, messages, accepted);
    oe_ = agronomicBox(this, grid, 5, "txtOe", "lblOe", QStringLiteral("Otras eficiencias, Oe"),
                       QStringLiteral("0 a 1"), In::Oe, messages, accepted);
    resultRow(this, grid, 6, "lblDEpa_v", "lblDEpa",
              QStringLiteral("Eficiencia de distribución, Epa"), QStringLiteral("%"));
    resultRow(this, grid, 7, "lblRe_v", "lblRe", QStringLiteral("Fracción que llega al suelo, Re"),
              QString());
    resultRow(this, grid, 8, "lblEpa_v", "lblEpa", QStringLiteral("Eficiencia de aplicación"),
              QStringLiteral("%"));
    grid->setColumnStretch(0, 1);
}

EfficiencyBoxes EfficiencyFrame::boxes() const {
    // The presenters read the stored units.
    return {pa_->storedText(),
            cu_->storedText(),
            eto_->storedText(),
            u_->storedText(),
            ci_->currentText().toStdString(),
            oe_->storedText()};
}

void EfficiencyFrame::fill(const EfficiencyBoxes& boxes) {
    filling_ = true;
    setBoxText(pa_, boxes.Pa);
    setBoxText(cu_, boxes.CU);
    setBoxText(eto_, boxes.Eto);
    setBoxText(u_, boxes.U);
    setBoxText(oe_, boxes.Oe);
    // A stored index that is not a whole number of the list is kept as an item of its own.
    const QString ci = QString::fromStdString(boxes.CI);
    int at = ci.isEmpty() ? -1 : ci_->findText(ci);
    if (!ci.isEmpty() && at < 0) {
        ci_->addItem(ci);
        at = ci_->count() - 1;
    }
    ci_->setCurrentIndex(at);
    filling_ = false;
}

bool EfficiencyFrame::commit() {
    return commitAll({pa_, cu_, eto_, u_, oe_});
}

std::vector<QWidget*> EfficiencyFrame::tabOrder() const {
    return {pa_->box(), cu_->box(), eto_->box(), u_->box(), ci_, oe_->box()};
}

void showCommandResult(QWidget* window, MessageService& messages, const ResultTexts& result) {
    showResultTexts(window, result);
    if (result.message) {
        messages.showMessage(window, QString::fromStdString(*result.message));
    }
    if (result.fault) {
        std::rethrow_exception(result.fault);
    }
}

bool saveAgronomicScreen(QWidget* window, MessageService& messages,
                         const std::function<SaveOutcome()>& save, const char* failure,
                         const QString& savedStatus) {
    SaveOutcome out;
    try {
        out = save();
    } catch (...) {
        handleDatabaseError(messages, window, failure);
        return false;
    }
    if (out.message) {
        messages.showMessage(window, QString::fromStdString(*out.message));
        return false;
    }
    if (auto* label = resultLabel(window, ResultLabel::Caudal)) {
        showResultInUnits(label, ResultLabel::Caudal, out.discharge, out.dischargeValue);
    }
    messages.showStatus(window, savedStatus);
    return true;
}

}  // namespace kambrix
