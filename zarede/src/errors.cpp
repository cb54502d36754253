// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

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
    std::string message(errorMessage(number));
    if (!detail.empty()) {
        message += ": ";
        message += detail;
    }
    throw Error(number, message);
}

}  // namespace detail

}  // namespace zarede
