// SPDX-License-Identifier: GPL-3.0-or-later
//
// The units the windows show: the user's choice, kept with the program's settings, and the
// redraw of every open window in the units chosen. Captions of labels, frames and buttons
// that name a unit take it from the unit layer (the language file keeps the words); number
// boxes given a quantity, grids and charts convert their numbers themselves.
#pragma once

#include <functional>

#include "shell/unit_system.h"

class QLabel;
class QWidget;

namespace kambrix {

// The choice kept in the settings ("display/units"), SI when none or an unknown one is kept;
// the program shows it from then on.
UnitSystem loadUnitsSetting();
// Shows the units in every open window and keeps the choice in the settings.
void chooseUnits(UnitSystem system);
// Shows the units in every open window without keeping the choice.
void showUnits(UnitSystem system);

// The captions of the labels, frames and buttons of `widget` (a window or a part of one)
// follow the shown units from now on. Only a widget whose every number box, grid and chart
// shows the units may say so: a caption must never name a unit its box does not take.
void captionsFollowUnits(QWidget* widget);
// A label that names a unit alone beside its box or result ("mm/day", "ha"): it shows the
// shown unit of `q` from now on. In the stored units it keeps the caption it was given (the
// language file's words), in others the unit layer's symbol.
void unitLabel(QLabel* label, Quantity q);
// The captions in the shown units, in every part of the window that follows them. A caption
// set since the last call (a translation, a window's own text) is taken as the one to convert.
void applyUnitCaptions(QWidget* window);
// The window in the shown units: captions, number boxes, grids, charts, and what the window
// draws itself (onUnitsChanged).
void redrawInUnits(QWidget* window);
// What `owner` draws itself (a chart it builds, a label that quotes a value) is drawn again
// by `redraw` when the shown units change, as long as the owner lives.
void onUnitsChanged(QWidget* owner, std::function<void()> redraw);

}  // namespace kambrix
