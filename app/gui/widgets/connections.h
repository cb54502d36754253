// SPDX-License-Identifier: GPL-3.0-or-later
//
// The one way a window connects a control to its own work: the handler runs inside the
// window (the connection ends with it) and is guarded, so whatever it throws reaches the
// top-level handler's box and never unwinds through Qt's signal machinery.
#pragma once

#include <QObject>
#include <QWidget>
#include <utility>

#include "gui/widgets/error_handler.h"

namespace kambrix {

// onSignal(cmdCalcular, &QPushButton::clicked, this, messages_, [this] { compute(); });
// The handler takes the signal's arguments it needs (Qt drops the rest).
template <class Sender, class Signal, class Handler>
QMetaObject::Connection onSignal(Sender* sender, Signal signal, QWidget* window,
                                 MessageService& messages, Handler handler) {
    return QObject::connect(sender, signal, window, guarded(messages, window, std::move(handler)));
}

}  // namespace kambrix
