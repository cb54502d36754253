// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/controls.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <cmath>

#include "gui/widgets/number_display.h"
#include "shell/services.h"

namespace kambrix {

namespace {

// Room for the window frame and title bar, which the window manager adds outside the
// window's own size.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;

}  // namespace

QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QComboBox* namedNameBox(QWidget* parent, const char* name, int minimumWidth) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->completer()->setCompletionMode(QCompleter::PopupCompletion);
    box->setMinimumWidth(minimumWidth);
    return box;
}

QLineEdit* namedEdit(QWidget* parent, const char* name, bool numeric) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    if (numeric) {
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(120);
    }
    return e;
}

void setControlValue(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const char sep = decimalSeparator();
        const std::string wanted = text.toStdString();
        int found = -1;
        if (!isBlank(wanted)) {
            const double x = parseNumber(wanted, sep);
            for (int i = 0; i < combo->count() && found < 0; ++i) {
                if (parseNumber(combo->itemText(i).toStdString(), sep) == x) {
                    found = i;
                }
            }
        }
        combo->setCurrentIndex(found);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    }
}

void showValue(QWidget* control, double value, double missing, int decimals) {
    setControlValue(control, QString::fromStdString(
                                 showValueText(value, missing, decimals, decimalSeparator())));
}

void clearControls(std::initializer_list<QWidget*> controls) {
    for (QWidget* c : controls) {
        setControlValue(c, QString());
    }
}

void selectAllText(QLineEdit* box) {
    box->selectAll();
}

void setTabOrderChain(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* c : controls) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, c);
        }
        previous = c;
    }
}

QStatusBar* addStatusLine(QWidget* window, QBoxLayout* layout) {
    auto* status = new QStatusBar(window);
    status->setObjectName("stbEstado");
    status->setSizeGripEnabled(false);
    layout->addWidget(status);
    return status;
}

void fitToScreen(QWidget* window, QSize preferred) {
    QScreen* screen =
        window->screen() != nullptr ? window->screen() : QApplication::primaryScreen();
    if (screen == nullptr) {
        window->resize(preferred);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize room(std::max(200, area.width() - kFrameWidth),
                     std::max(200, area.height() - kFrameHeight));
    const QSize size = preferred.boundedTo(room);
    window->resize(size);
    window->move(area.x() + (area.width() - size.width()) / 2,
                 area.y() + std::max(0, (area.height() - size.height() - kFrameHeight) / 2));
}

}  // namespace kambrix
