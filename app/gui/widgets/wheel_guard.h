// SPDX-License-Identifier: GPL-3.0-or-later
//
// The mouse wheel scrolls the form, never the value under the pointer. A designer scrolling a
// long form with the wheel passes over drop-down lists and spin boxes; left to themselves they
// take the wheel and change their value (a span of the lateral becomes another without a
// click). Unless the control has the keyboard focus, its wheel turns go to the scroll area
// around it.
#pragma once

class QApplication;

namespace kambrix {

// Installs the guard on every widget of the application.
void guardWheelOnUnfocusedChoices(QApplication& app);

}  // namespace kambrix
