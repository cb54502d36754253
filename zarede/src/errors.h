// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <zarede/zarede.h>

#include <string_view>

namespace zarede::detail {

// Throws zarede::Error with the message of `number`, followed by `detail` when given.
[[noreturn]] void raise(ErrorNumber number, std::string_view detail = {});

}  // namespace zarede::detail
