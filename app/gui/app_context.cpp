// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app_context.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTimer>
#include <cmath>

#include "shell/services.h"

namespace kambrix {

AppContext& app() {
    static AppContext context;
    return context;
}

void showMessage(QWidget* parent, const QString& text) {
    app().messages->showMessage(parent, text);
}

bool confirm(QWidget* parent, const QString& text) {
    return app().messages->confirm(parent, text);
}

void showUnexpectedError(QWidget* parent, const std::exception& e) {
    showMessage(parent, QString::fromStdString(e.what()));
}

namespace {
// The user's locale without group separators, so a shown number reads back the same.
QLocale numberLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}
}  // namespace

// The tab widget that shows `page` as one of its tabs, if any.
static QTabWidget* tabOf(QWidget* page) {
    for (QWidget* w = page->parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            return tabs->indexOf(page) >= 0 ? tabs : nullptr;
        }
    }
    return nullptr;
}

QStringList captionList(const QObject* target, const char* property) {
    return target->property(property).toString().split(QLatin1Char(';'));
}

char decimalSeparator() {
    const QString text = numberLocale().toString(1.5, 'f', 1);
    return text.size() >= 2 ? text.at(1).toLatin1() : '.';
}

QString displayNumber(double value, int decimals) {
    if (std::isnan(value)) {
        return QStringLiteral("N/A");
    }
    return numberLocale().toString(value, 'f', decimals);
}

double controlNumber(const QLineEdit* box, double fallback) {
    const std::string text = box->text().toStdString();
    return isBlank(text) ? fallback : parseNumber(text, decimalSeparator());
}

void applyTranslations(QWidget* window, const std::vector<TranslationEntry>& entries) {
    for (const auto& e : entries) {
        const QString value = QString::fromStdString(e.value);
        QWidget* target = nullptr;
        if (e.target == window->objectName().toStdString()) {
            target = window;
        } else {
            target = window->findChild<QWidget*>(QString::fromStdString(e.target));
        }
        if (target == nullptr) {
            continue;
        }
        if (e.property == "Caption") {
            if (target == window) {
                window->setWindowTitle(value);
            } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
                button->setText(value);
            } else if (auto* label = qobject_cast<QLabel*>(target)) {
                label->setText(value);
            } else if (auto* frame = qobject_cast<QGroupBox*>(target)) {
                frame->setTitle(value);
            } else if (auto* tabs = tabOf(target)) {
                tabs->setTabText(tabs->indexOf(target), value);
            }
        } else if (e.property == "Text") {
            if (auto* edit = qobject_cast<QLineEdit*>(target)) {
                edit->setText(value);
            }
        } else if (e.property == "ToolTipText") {
            target->setToolTip(value);
        } else if (target->property(e.property.c_str()).isValid()) {
            // A property the window declared for the texts it draws itself (grid column
            // captions, series names); any other name is skipped.
            target->setProperty(e.property.c_str(), value);
        }
    }
}

void translateForm(QWidget* window, const std::filesystem::path& languageFile) {
    try {
        applyTranslations(window,
                          readLanguageSection(languageFile, window->objectName().toStdString()));
    } catch (const LanguageFileError&) {
        // Checked readable at start-up; a file gone since leaves the design captions.
    }
}

void openNext(QWidget* from, QWidget* next) {
    next->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> opener(from);
    QObject::connect(next, &QObject::destroyed, from, [opener] {
        if (opener) {
            opener->show();
        }
    });
    next->show();
    from->hide();
}

NumberBox::NumberBox(QLineEdit* box, NumberRange range, QString what, bool allowBlank,
                     std::function<void()> accepted)
    : QObject(box),
      box_(box),
      range_(range),
      what_(std::move(what)),
      allowBlank_(allowBlank),
      accepted_(std::move(accepted)),
      lastAccepted_(box->text()) {
    box_->installEventFilter(this);
    QObject::connect(box_, &QLineEdit::returnPressed, this, [this] { commit(); });
}

std::optional<std::string> NumberBox::problem() const {
    const std::string text = box_->text().toStdString();
    auto message =
        checkNumberText(text, decimalSeparator(), range_, what_.toStdString(), allowBlank_);
    if (!message && extraCheck && !isBlank(text)) {
        message = extraCheck(parseNumber(text, decimalSeparator()));
    }
    return message;
}

bool NumberBox::commit() {
    if (checking_) {
        return false;
    }
    if (box_->text() == lastAccepted_) {
        return true;
    }
    checking_ = true;
    const auto message = problem();
    if (message) {
        box_->setText(lastAccepted_);
        showMessage(box_->window(), QString::fromStdString(*message));
        checking_ = false;
        return false;
    }
    lastAccepted_ = box_->text();
    checking_ = false;
    if (accepted_) {
        accepted_();
    }
    return true;
}

void NumberBox::setValue(double value, int decimals, bool blank) {
    box_->setText(blank ? QString() : displayNumber(value, decimals));
    lastAccepted_ = box_->text();
}

bool NumberBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::FocusOut) {
        commit();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kambrix
