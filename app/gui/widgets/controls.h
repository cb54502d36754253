// SPDX-License-Identifier: GPL-3.0-or-later
//
// Small helpers every window uses on its controls: named controls, values shown in boxes,
// labels and lists, the tab order, the status line and fitting a window on the screen.
#pragma once

#include <QSize>
#include <QString>
#include <initializer_list>

class QBoxLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QComboBox;
class QPushButton;
class QStatusBar;
class QWidget;

namespace kambrix {

// A button, label or text box with its object name (the language file and the tests find
// controls by it).
QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption);
QLabel* namedLabel(QWidget* parent, const char* name, const QString& text);
QLineEdit* namedEdit(QWidget* parent, const char* name, bool numeric = true);
// An editable box of catalogue names (brands, models) with its object name. A name typed is
// taken as typed: the list completes in a popup, never inline, so a new name never shows
// another entry's data.
QComboBox* namedNameBox(QWidget* parent, const char* name, int minimumWidth);

// A control shows a value: a text box its text; a combo box selects the first item whose
// text reads as the same number (none: no selection); a label its text.
void setControlValue(QWidget* control, const QString& text);
// "N/A" for a value that is not a number, an empty text for `missing`, else the value with
// `decimals` decimals, placed with setControlValue.
void showValue(QWidget* control, double value, double missing, int decimals);
// Every control set to the empty text.
void clearControls(std::initializer_list<QWidget*> controls);
// The whole text of the box selected (for typing over it).
void selectAllText(QLineEdit* box);

// The tab order of the controls, in the order given (the order of the layout).
void setTabOrderChain(std::initializer_list<QWidget*> controls);

// A status line at the foot of a layout, for the short confirmations of the message
// service ("stbEstado").
QStatusBar* addStatusLine(QWidget* window, QBoxLayout* layout);

// Resizes the window to `preferred`, never larger than the screen's available area (the
// frame included), and centres it there.
void fitToScreen(QWidget* window, QSize preferred);

}  // namespace kambrix
