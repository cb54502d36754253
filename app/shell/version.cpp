// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/version.h"

namespace kambrix {

std::string programName() {
    return "Kambrix";
}

std::string programVersion() {
    return "0.0.2";
}

}  // namespace kambrix
