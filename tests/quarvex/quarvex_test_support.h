// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <quarvex/quarvex.h>

#include <cstdint>
#include <functional>

// The number of the error f raises, or 0 when it raises none.
inline std::int32_t errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const quarvex::Error& e) {
        return e.number();
    }
    return 0;
}
