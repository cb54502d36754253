// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <cmath>

namespace quarvex {
namespace {

struct ErrorText {
    std::int32_t number;
    const char* text;
};

// Every error number of the library and its default message.
constexpr ErrorText kErrorTable[] = {
    {errc::InvalidArgument, "Invalid procedure call or argument"},
    {errc::Overflow, "Overflow"},
    {errc::SubscriptOutOfRange, "Subscript out of range"},
    {errc::DivisionByZero, "Division by zero or floating-point fault"},
    {errc::TypeMismatch, "Type mismatch"},
    {errc::MissingAsperorDataException, "The sprinkler data are incomplete"},
    {errc::DescricaoMissingNameException, "The description has no name"},
    {errc::ModeloIsNewRecordException, "The model is not stored yet"},
    {errc::ModeloMissingNameException, "The model has no name"},
    {errc::MarcaIsNewRecordException, "The brand of the model is not stored yet"},
    {errc::MarcaMissingNameException, "The brand has no name"},
    {errc::DropIncompleteException, "The drop is incomplete and cannot be installed"},
    {errc::NomeDaCartaJaExistente, "A sprinkler chart of that name already exists"},
    {errc::PluviometroIncompleteException, "The catch can has no diameter"},
    {errc::EmptyWaterDepthSerie, "A water-depth series needs at least one sample"},
    {errc::NotEnoughSamplesToComputeLowQuarter,
     "There are not enough samples to compute the low quarter"},
    {errc::EvaluationNotFound, "No evaluation meets the condition"},
    {errc::ComputationDidNotConverge, "The hydraulic computation did not converge"},
    {errc::TooManySpans, "The pivot has more spans than the computation accepts"},
    {errc::TooManyOutlets, "The pivot has more outlets than the computation accepts"},
    {errc::DatabaseUnknownProvider, "Unknown database provider"},
    {errc::DatabaseFileMissing, "The database file does not exist"},
    {errc::DatabaseOpenFailed, "The database could not be opened"},
    {errc::DatabaseNotOpen, "The database connection is not open"},
    {errc::DatabaseStatementFailed, "The database statement failed"},
    {errc::DatabaseNoCurrentRow, "There is no current row"},
    {errc::DatabaseUnknownField, "The record set has no field of that name"},
    {errc::DatabaseTransactionState, "The transaction is not in the state the operation needs"},
    {errc::NumberNotFinite, "A number that is not finite cannot be stored"},
    {errc::StoredNumberOutOfRange, "A stored number lies beyond the range of numbers"},
};

}  // namespace

Error::Error(std::int32_t number, const std::string& message)
    : std::runtime_error(message), number_(number) {}

std::string errorMessage(std::int32_t number) {
    for (const auto& e : kErrorTable) {
        if (e.number == number) {
            return e.text;
        }
    }
    return "Error " + std::to_string(number);
}

void Exceptions::Throw(std::int32_t number) {
    throw Error(number, errorMessage(number));
}

void Exceptions::Throw(std::int32_t number, const std::string& detail) {
    throw Error(number, errorMessage(number) + ": " + detail);
}

double checkedFinite(double x, const char* what) {
    if (!std::isfinite(x)) {
        Exceptions::Throw(errc::DivisionByZero, what);
    }
    return x;
}

void raiseSubscriptOutOfRange(int index, int length) {
    Exceptions::Throw(errc::SubscriptOutOfRange,
                      "index " + std::to_string(index) + " outside 1.." + std::to_string(length));
}

void raiseTypeMismatch(const std::string& what) {
    Exceptions::Throw(errc::TypeMismatch, what);
}

void raiseCollectionKeyError(const std::string& key, bool duplicate) {
    Exceptions::Throw(
        errc::InvalidArgument,
        (duplicate ? "the key is already in the collection: " : "no entry under the key: ") + key);
}

}  // namespace quarvex
