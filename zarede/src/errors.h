// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <zarede/zarede.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace zarede::detail {

// Throws zarede::Error with the message of `number`, followed by `detail` when given.
[[noreturn]] void raise(ErrorNumber number, std::string_view detail = {});

// The parts one after the other, for the detail of a message.
std::string join(std::initializer_list<std::string_view> parts);

}  // namespace zarede::detail
