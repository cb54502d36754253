// SPDX-License-Identifier: GPL-3.0-or-later
//
// Handing over from one window to the next: the opener hides while the next window is open
// and shows itself again when it closes.
#pragma once

class QWidget;

namespace kambrix {

// Shows `next` (deleted when closed) and hides `from`, which shows itself again when `next`
// is gone.
void openNext(QWidget* from, QWidget* next);

}  // namespace kambrix
