// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/csv.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/errors.h"
#include "shell/text.h"

namespace kambrix {

void forEachCsvRecord(std::string_view text, char separator,
                      const std::function<void(const CsvRecord&)>& visit) {
    forEachCsvRecordWhile(text, separator, [&](const CsvRecord& r) {
        visit(r);
        return true;
    });
}

void forEachCsvRecordWhile(std::string_view text, char separator,
                           const std::function<bool(const CsvRecord&)>& visit) {
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::size_t line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    // One record object, reused: memory follows the longest line, not the number of lines.
    CsvRecord record;
    std::string field;
    while (i < n) {
        record.line = line;
        record.fields.clear();
        field.clear();
        bool lineHasContent = false;
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
        if (!visit(record)) {
            return;
        }
    }
}

std::vector<CsvRecord> parseCsv(std::string_view text, char separator) {
    std::vector<CsvRecord> records;
    forEachCsvRecord(text, separator, [&](const CsvRecord& r) { records.push_back(r); });
    return records;
}

namespace {

// The power of ten of a decimal number's first significant digit, from its text (a valid
// number of from_chars): "1e-400" gives -400, "0.001" gives -3, "12e5" gives 6.
long long decimalMagnitude(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    long long integerDigits = 0;
    long long leadingZeros = 0;  // zeros after the point before the first significant digit
    bool significant = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        significant = significant || text[i] != '0';
        integerDigits += significant ? 1 : 0;
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (!significant && text[i] == '0') {
                ++leadingZeros;
            } else {
                significant = true;
            }
        }
    }
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            ++i;
        }
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            exponent = std::min<long long>(exponent * 10 + (text[i] - '0'), 1'000'000'000'000LL);
        }
        exponent = negative ? -exponent : exponent;
    }
    return (integerDigits > 0 ? integerDigits - 1 : -(leadingZeros + 1)) + exponent;
}

}  // namespace

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
    if (r.ec == std::errc::result_out_of_range && r.ptr == last) {
        // Beyond the double range: too large is no number, too small is zero, as a
        // calculator reads it.
        if (decimalMagnitude(std::string_view(first, static_cast<std::size_t>(last - first))) < 0) {
            return *first == '-' ? -0.0 : 0.0;
        }
        return std::nullopt;
    }
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string readTextFile(const std::filesystem::path& path, bool allowEmpty, std::size_t maxBytes) {
    namespace fs = std::filesystem;
    const std::string name = printableText(path.string());
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (path.empty() || status.type() == fs::file_type::not_found) {
        raiseError(errc::FileMissing, "The file " + name + " does not exist");
    }
    if (status.type() == fs::file_type::directory) {
        raiseError(errc::FileIsDirectory, name + " is a folder, not a file");
    }
    if (status.type() != fs::file_type::regular) {
        // A pipe would block for ever and a device never ends.
        raiseError(errc::FileNotRegular,
                   name + " is not a regular file (a pipe, device or socket)");
    }
    const auto tooLarge = [&] {
        raiseError(errc::FileUnreadable, "The file " + name + " is larger than " +
                                             std::to_string(maxBytes / (1024 * 1024)) +
                                             " MB, more than any input of the program");
    };
    const auto size = fs::file_size(path, ec);
    if (!ec && size > maxBytes) {
        tooLarge();
    }
    // O_NONBLOCK: should the path have become a pipe since the look above, opening it does
    // not wait for a writer; fstat then refuses it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        raiseError(errc::FileUnreadable,
                   "The file " + name + " cannot be opened: " + std::strerror(error));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        raiseError(errc::FileNotRegular,
                   name + " is not a regular file (a pipe, device or socket)");
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(::fdopen(fd, "rb"), &std::fclose);
    if (!in) {
        const int error = errno;
        ::close(fd);
        raiseError(errc::FileUnreadable,
                   "The file " + name + " cannot be opened: " + std::strerror(error));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, in.get());
        text.append(buffer, n);
        if (text.size() > maxBytes) {
            tooLarge();
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
    const auto starts = [&](std::string_view mark) { return text.rfind(mark, 0) == 0; };
    if (starts(std::string_view("\xFF\xFE\0\0", 4)) ||
        starts(std::string_view("\0\0\xFE\xFF", 4)) || starts("\xFF\xFE") || starts("\xFE\xFF")) {
        raiseError(errc::FileNotUtf8,
                   "The file " + name + " is saved as UTF-16 or UTF-32 text: save it as UTF-8");
    }
    if (!allowEmpty && text.find_first_not_of(" \t\r\n\f\v\xEF\xBB\xBF") == std::string::npos) {
        raiseError(errc::FileEmpty, "The file " + name + " is empty");
    }
    return text;
}

namespace {

// The reason of a failed write in the user's words.
std::string writeReason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return "the disk is full";
        case EACCES:
        case EPERM:
            return "the folder may not be written to";
        case EROFS:
            return "the folder is on a read-only disk";
        case ENOENT:
        case ENOTDIR:
            return "the folder does not exist";
        default:
            return std::strerror(error);
    }
}

[[noreturn]] void notWritten(const std::filesystem::path& path, int error) {
    raiseError(errc::FileNotWritable, "The file " + printableText(path.string()) +
                                          " cannot be written: " + writeReason(error));
}

// Every byte to the descriptor, or the errno of the failure.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

}  // namespace

void writeTextFile(const std::filesystem::path& path, std::string_view text) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (status.type() == fs::file_type::directory) {
        raiseError(errc::FileNotWritable, "The file " + printableText(path.string()) +
                                              " cannot be written: it is a folder");
    }
    if (fs::exists(status) && status.type() != fs::file_type::regular) {
        // A device or a pipe the user named (/dev/stdout, a terminal) is written as it is:
        // there is nothing to replace, but every failure is still told.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            notWritten(path, errno);
        }
        int error = writeAll(fd, text);
        if (::close(fd) != 0 && error == 0) {
            error = errno;
        }
        if (error != 0) {
            notWritten(path, error);
        }
        return;
    }
    // A file is written whole beside its place and renamed over it only when complete, so
    // a full disk or a crash never leaves half a file, nor loses the one that was there.
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + path.filename().string() + ".part-XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        notWritten(path, errno);
    }
    const fs::path temporary = pattern;
    int error = writeAll(fd, text);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    // A file made by mkstemp is readable by its owner only; an export is an ordinary file.
    if (error == 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        fs::remove(temporary, ec);
        notWritten(path, error);
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
