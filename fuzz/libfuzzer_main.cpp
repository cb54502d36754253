// SPDX-License-Identifier: GPL-3.0-or-later
//
// The libFuzzer entry of one target; KAMBRIX_FUZZ_TARGET names the target function.
#include <cstddef>
#include <cstdint>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A FuzzFailure (or any other escaping exception) ends the run as a crash with the input.
    kambrix::fuzz::KAMBRIX_FUZZ_TARGET(data, size);
    return 0;
}
