// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/version.h"

#include "kambrix/version_info.h"

namespace kambrix {

std::string programName() {
    return "Kambrix";
}

std::string programVersion() {
    return KAMBRIX_VERSION_TEXT;
}

}  // namespace kambrix
