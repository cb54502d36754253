// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/csv.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "shell/errors.h"

namespace kambrix {

std::vector<CsvRecord> parseCsv(std::string_view text, char separator) {
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::vector<CsvRecord> records;
    std::size_t line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        CsvRecord record;
        record.line = line;
        bool lineHasContent = false;
        std::string field;
        bool endOfRecord = false;
        while (!endOfRecord) {
            if (i >= n) {
                break;
            }
            const char c = text[i];
            if (c == '"' && field.find_first_not_of(" \t") == std::string::npos) {
                // A quoted field (blanks before the quote are dropped).
                field.clear();
                lineHasContent = true;
                const std::size_t startLine = line;
                ++i;
                bool closed = false;
                while (i < n) {
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (text[i] == '\n' ||
                        (text[i] == '\r' && !(i + 1 < n && text[i + 1] == '\n'))) {
                        ++line;
                    }
                    field += text[i++];
                }
                if (!closed) {
                    raiseError(errc::CsvFormat,
                               "Line " + std::to_string(startLine) +
                                   " of the file has a quoted field that is never closed");
                }
                // Anything up to the next separator or line end after the closing quote is
                // kept, as spreadsheets do.
                while (i < n && text[i] != separator && text[i] != '\r' && text[i] != '\n') {
                    field += text[i++];
                }
                continue;
            }
            if (c == separator) {
                record.fields.push_back(std::move(field));
                field.clear();
                lineHasContent = true;
                ++i;
                continue;
            }
            if (c == '\r' || c == '\n') {
                i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
                ++line;
                endOfRecord = true;
                continue;
            }
            field += c;
            lineHasContent = true;
            ++i;
        }
        if (lineHasContent) {
            record.fields.push_back(std::move(field));
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::optional<double> csvNumber(std::string_view field) {
    const auto b = field.find_first_not_of(" \t");
    if (b == std::string_view::npos) {
        return std::nullopt;
    }
    const auto e = field.find_last_not_of(" \t");
    const char* first = field.data() + b;
    const char* last = field.data() + e + 1;
    if (*first == '+') {
        ++first;
    }
    double value = 0;
    const auto r = std::from_chars(first, last, value);
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string readTextFile(const std::filesystem::path& path, bool allowEmpty, std::size_t maxBytes) {
    namespace fs = std::filesystem;
    const std::string name = path.string();
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (name.empty() || status.type() == fs::file_type::not_found) {
        raiseError(errc::FileMissing, "The file " + name + " does not exist");
    }
    if (status.type() == fs::file_type::directory) {
        raiseError(errc::FileIsDirectory, name + " is a folder, not a file");
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(name.c_str(), "rb"),
                                                       &std::fclose);
    if (!in) {
        const int error = errno;
        raiseError(errc::FileUnreadable,
                   "The file " + name + " cannot be opened: " + std::strerror(error));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, in.get());
        text.append(buffer, n);
        if (text.size() > maxBytes) {
            raiseError(errc::FileUnreadable, "The file " + name + " is larger than " +
                                                 std::to_string(maxBytes / (1024 * 1024)) + " MB");
        }
        if (n < sizeof buffer) {
            break;
        }
    }
    // An I/O error ends fread early just as the end of the file does; only ferror tells.
    if (std::ferror(in.get())) {
        const int error = errno;
        raiseError(errc::FileUnreadable,
                   "The file " + name + " cannot be read: " + std::strerror(error));
    }
    if (!allowEmpty && text.find_first_not_of(" \t\r\n\f\v\xEF\xBB\xBF") == std::string::npos) {
        raiseError(errc::FileEmpty, "The file " + name + " is empty");
    }
    return text;
}

void writeTextFile(const std::filesystem::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
    }
    if (!out) {
        raiseError(errc::FileNotWritable, "The file " + path.string() + " cannot be written");
    }
}

std::string csvField(std::string_view field, char separator) {
    const bool quote =
        field.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos ||
        (!field.empty() && (field.front() == ' ' || field.back() == ' ' || field.front() == '\t' ||
                            field.back() == '\t'));
    if (!quote) {
        return std::string(field);
    }
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
    return out;
}

std::string csvLine(const std::vector<std::string>& fields, char separator,
                    std::string_view lineEnd) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += separator;
        }
        out += csvField(fields[i], separator);
    }
    out += lineEnd;
    return out;
}

}  // namespace kambrix
