// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/errors.h"

#include <zarede/zarede.h>

#include <algorithm>
#include <new>

#include "shell/language_file.h"
#include "shell/startup.h"

namespace kambrix {

namespace {

const std::vector<ErrorEntry> kProgramTable = {
    {errc::CommandStopped, "The command was stopped"},
    {errc::ReferenceTramoIncomplete,
     "The reference span needs a name, a length, a pipe diameter and an outlet spacing"},
    {errc::ReferenceTramoExists, "A reference span of that name already exists"},
    {errc::TramoMarcaMissingName, "The brand has no name"},
    {errc::FileMissing, "The file does not exist"},
    {errc::FileIsDirectory, "The name given is a folder, not a file"},
    {errc::FileUnreadable, "The file cannot be read"},
    {errc::FileEmpty, "The file is empty"},
    {errc::FileNotWritable, "The file cannot be written"},
    {errc::FileNotRegular, "The file is not a regular file"},
    {errc::FileNotUtf8, "The file is not UTF-8 text"},
    {errc::DocumentFormat, "The file cannot be read as a document of the program"},
    {errc::InputTooLarge, "The input holds more items than the program takes at once"},
    {errc::CsvFormat, "A line of the file cannot be read"},
    {errc::ValueOutOfRange, "A value lies outside the range the program accepts"},
    {errc::PumpCurveRefused, "The pump curve cannot be used as it stands"},
    {errc::RecordNotFound, "There is no record of that name"},
    {errc::RecordChangedSinceOpened, "The record was changed by another user since you opened it"},
    {errc::EvaluationExists, "There is already an evaluation of that name"},
    {errc::EvaluationRowsIncomplete,
     "A catch-can row has a volume without a distance, or the "
     "other way round"},
    // The agronomic screens show these texts as they stand.
    {errc::KfNotGiven, "It must be given the value for Kf"},
    {errc::EtcNotGiven, "It must be given the value for Etc"},
    {errc::PeNotGiven, "It must be given the value for the precipitation"},
    {errc::PaNotGiven, "It must be given the Pa value"},
    {errc::CuNotGiven, "It must be given the CU value"},
    {errc::EtoNotGiven, "It must be given the Eto value"},
    {errc::UNotGiven, "It must be given the U value"},
    {errc::CiNotGiven, "It must be given the CI value"},
    {errc::OeNotGiven, "It must be given the Oe value"},
    {errc::ComputationOverflow, "The result is too large to be computed"},
    {errc::ComputationDivisionByZero, "The result cannot be computed: it would divide by zero"},
    {errc::ComputationInvalid, "The result cannot be computed from these values"},
    {errc::SchedulingFileFormat, "The input file as an format error, it must be a CSV file"},
    {errc::CatalogueNameMissing, "The catalogue entry needs a name"},
    {errc::CatalogueNameTaken, "Another entry of the catalogue already has that name"},
    {errc::StoredNameRefused, "The name cannot be stored as it stands"},
    {errc::DatabaseDamaged, "The database is damaged or was not made by Kambrix"},
    {errc::DatabaseNewer,
     "The database was made by a newer version of Kambrix; nothing can be saved into it"},
    {errc::DatabaseForeignTable,
     "A table of the database was made by another program or another version of Kambrix"},
    {errc::CatalogueEntryGone,
     "That entry is no longer in the catalogue; the list has been read again"},
    {errc::CatalogueBrandNeedsName, "The brand needs a name"},
    {errc::CatalogueModelNeedsName, "The model needs a name"},
    {errc::CatalogueBrandNotStored, "The brand of the model must be saved before the model"},
    {errc::CatalogueNozzleIncomplete,
     "The nozzle data are incomplete: it needs a name, and a, b, minimum and maximum pressure "
     "and minimum and maximum discharge greater than 0"},
    {errc::CatalogueEntryNameTaken, "There is already an entry of the catalogue with that name"},
    {errc::CatalogueNewNameBlank, "The new name is blank"},
    {errc::CatalogueSpanIncomplete,
     "The reference span is incomplete: it needs a name, a length, a pipe diameter and an "
     "outlet spacing other than 0"},
    {errc::CatalogueSpanNameTaken, "There is already a reference span with that name"},
    {errc::CatalogueBrandNameTaken, "There is already a brand with that name"},
};

bool isDatabaseNumber(std::int32_t n) {
    using namespace quarvex::errc;
    return n == DatabaseUnknownProvider || n == DatabaseFileMissing || n == DatabaseOpenFailed ||
           n == DatabaseNotOpen || n == DatabaseStatementFailed || n == DatabaseNoCurrentRow ||
           n == DatabaseUnknownField || n == DatabaseTransactionState;
}

std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return s;
}

bool has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string capitalised(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') {
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    }
    return s;
}

}  // namespace

AppError::AppError(std::int32_t number, const std::string& message, std::string detail)
    : std::runtime_error(message), number_(number), detail_(std::move(detail)) {}

const std::vector<ErrorEntry>& programErrorTable() {
    return kProgramTable;
}

std::string errorText(std::int32_t number, ErrorSource source) {
    switch (source) {
        case ErrorSource::Program:
            for (const auto& e : kProgramTable) {
                if (e.number == number) {
                    return e.text;
                }
            }
            break;
        case ErrorSource::Library:
            return quarvex::errorMessage(number);
        case ErrorSource::Curves: {
            const auto text = zarede::errorMessage(static_cast<zarede::ErrorNumber>(number));
            if (!text.empty()) {
                return std::string(text);
            }
            break;
        }
        case ErrorSource::Other:
            break;
    }
    return "Error " + std::to_string(number);
}

void raiseError(std::int32_t number, const std::string& message, const std::string& detail) {
    throw AppError(number, message.empty() ? errorText(number) : message, detail);
}

ErrorReport describeError(std::exception_ptr error) {
    ErrorReport r;
    if (!error) {
        return r;
    }
    try {
        std::rethrow_exception(error);
    } catch (const AppError& e) {
        r.source = ErrorSource::Program;
        r.number = e.number();
        r.message = e.what();
        r.detail = e.detail();
    } catch (const quarvex::Error& e) {
        r.source = ErrorSource::Library;
        r.number = e.number();
        r.database = isDatabaseNumber(e.number());
        r.detail = e.what();
        if (e.number() == quarvex::errc::DatabaseFileMissing) {
            r.message = "The database file is missing";
        } else if (r.database) {
            r.message = capitalised(databaseReason(e.what()));
        } else {
            // The library's message carries its detail after ": "; the table's text alone is
            // what the user reads.
            r.message = quarvex::errorMessage(e.number());
        }
    } catch (const zarede::Error& e) {
        r.source = ErrorSource::Curves;
        r.number = e.number();
        r.message = errorText(e.number(), ErrorSource::Curves);
        r.detail = e.what();
    } catch (const StartupError& e) {
        r.message = e.what();
    } catch (const LanguageFileError& e) {
        r.message = e.what();
    } catch (const std::bad_alloc&) {
        r.message = "There is not enough memory for this operation";
    } catch (const std::exception& e) {
        r.message = "The operation failed because of an internal error";
        r.detail = e.what();
    } catch (...) {
        r.message = "The operation failed because of an internal error";
    }
    if (r.detail == r.message) {
        r.detail.clear();
    }
    return r;
}

ErrorReport describeCurrentError() {
    return describeError(std::current_exception());
}

std::int32_t errorNumberOf(std::exception_ptr error, ErrorSource* source) {
    const ErrorReport r = describeError(error);
    if (source != nullptr) {
        *source = r.source;
    }
    return r.number;
}

std::string databaseReason(const std::string& databaseText) {
    // The statement the layer appends may hold the user's own data; read only the words of
    // the database before it.
    const std::string t = lowerAscii(databaseText.substr(0, databaseText.find(" [SQL: ")));
    if (has(t, "permission denied") || has(t, "must be owner")) {
        return "your account may only read this store; ask whoever keeps it for the right to "
               "save";
    }
    if (has(t, "readonly") || has(t, "read-only") || has(t, "read only")) {
        return "the database folder is read-only";
    }
    if (has(t, "locked") || has(t, "busy")) {
        return "another program is using the database; close it and try again";
    }
    if (has(t, "disk is full") || has(t, "disk full") || has(t, "no space")) {
        return "the disk is full";
    }
    if (has(t, "not a database") || has(t, "malformed") || has(t, "corrupt")) {
        return "the database file is damaged";
    }
    if (has(t, "no such table") || has(t, "no such column") || has(t, "has no column")) {
        return "the database does not hold the tables this program expects";
    }
    if (has(t, "does not exist") || has(t, "unable to open") || has(t, "cannot open") ||
        has(t, "could not be opened")) {
        return "the database file could not be found or opened";
    }
    if (has(t, "constraint") || has(t, "unique")) {
        return "the data conflict with data already stored";
    }
    return "the database reported a problem";
}

std::string userMessage(const ErrorReport& report, const std::string& action) {
    if (action.empty()) {
        return report.message;
    }
    std::string reason = report.message;
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z' && reason.size() > 1 &&
        !(reason[1] >= 'A' && reason[1] <= 'Z')) {
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    }
    return action + ": " + reason;
}

bool isException(std::int32_t number, bool rethrow) {
    const std::exception_ptr pending = std::current_exception();
    if (!pending) {
        return false;
    }
    ErrorSource source = ErrorSource::Other;
    const std::int32_t n = errorNumberOf(pending, &source);
    if ((source == ErrorSource::Program || source == ErrorSource::Library) && n == number) {
        return true;
    }
    if (rethrow) {
        std::rethrow_exception(pending);
    }
    return false;
}

}  // namespace kambrix
