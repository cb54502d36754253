// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kambrix {

// The program's name and version, as the about window and the data folder show them.
std::string programName();
std::string programVersion();

}  // namespace kambrix
