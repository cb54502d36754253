// SPDX-License-Identifier: GPL-3.0-or-later
//
// What a window is given to work with: the start-up configuration (never changed after
// start-up), the message service, and the document of the current system, the only place
// where a window writes program state.
#pragma once

#include "gui/widgets/message_service.h"
#include "shell/startup.h"
#include "shell/system_document.h"

namespace kambrix {

struct AppServices {
    const AppConfig& config;
    MessageService& messages;
    SystemDocument& document;
};

}  // namespace kambrix
