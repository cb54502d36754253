// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

#include <algorithm>
#include <string>

namespace zarede {

namespace {

struct ErrorEntry {
    ErrorNumber number;
    std::string_view message;
};

// Every number the library raises and its message.
constexpr ErrorEntry kErrors[] = {
    {ErrorNumber::InvalidArgument, "Invalid procedure call or argument"},
    {ErrorNumber::Overflow, "Overflow"},
    {ErrorNumber::SubscriptOutOfRange, "Subscript out of range"},
    {ErrorNumber::DivisionByZero, "Division by zero"},
    {ErrorNumber::InvalidIntegrationRange,
     "Invalid integration range: X1 must not exceed X2 and the step must be positive"},
    {ErrorNumber::CurvesDoNotCross, "The curves do not cross within the interval"},
};

}  // namespace

std::string_view errorMessage(ErrorNumber number) {
    for (const ErrorEntry& entry : kErrors) {
        if (entry.number == number) {
            return entry.message;
        }
    }
    return {};
}

Error::Error(ErrorNumber number, const std::string& message)
    : std::runtime_error(message), number_(static_cast<int32_t>(number)) {}

Error::~Error() = default;

namespace detail {

void raise(ErrorNumber number, std::string_view detail) {
    const std::string message = detail.empty() ? std::string(errorMessage(number))
                                               : join({errorMessage(number), ": ", detail});
    throw Error(number, message);
}

std::string join(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view part : parts) {
        size += part.size();
    }
    // Sized once and filled by copy: GCC 12 warns falsely (-Wrestrict) on concatenating short
    // literals with std::string at -O2.
    std::string text(size, ' ');
    auto out = text.begin();
    for (std::string_view part : parts) {
        out = std::copy(part.begin(), part.end(), out);
    }
    return text;
}

}  // namespace detail

}  // namespace zarede
