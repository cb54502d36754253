// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/number_display.h"

#include <QLineEdit>
#include <QLocale>

#include "shell/number_text.h"
#include "shell/services.h"

namespace kambrix {

char decimalSeparator() {
    // Asked each time: cheap, and it follows a change of the default locale.
    const QString text = QLocale().toString(1.5, 'f', 1);
    return text.size() >= 2 ? text.at(1).toLatin1() : '.';
}

QString screenNumber(double value, int decimals) {
    return QString::fromStdString(formatDecimals(value, decimals, decimalSeparator()));
}

double controlNumber(const QLineEdit* box, double fallback) {
    const std::string text = box->text().toStdString();
    return isBlank(text) ? fallback : parseNumber(text, decimalSeparator());
}

std::optional<double> givenNumber(const QLineEdit* box) {
    const std::string text = box->text().toStdString();
    if (isBlank(text)) {
        return std::nullopt;
    }
    return parseNumber(text, decimalSeparator());
}

}  // namespace kambrix
