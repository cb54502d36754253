// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/translation.h"

#include "gui/widgets/units_view.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace kambrix {

namespace {

// The tab widget that shows `page` as one of its tabs, if any.
QTabWidget* tabOf(QWidget* page) {
    for (QWidget* w = page->parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            return tabs->indexOf(page) >= 0 ? tabs : nullptr;
        }
    }
    return nullptr;
}

}  // namespace

QStringList captionList(const QObject* target, const char* property) {
    return target->property(property).toString().split(QLatin1Char(';'));
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
    // The language file names stored units; the captions show the user's.
    applyUnitCaptions(window);
}

}  // namespace kambrix
