// SPDX-License-Identifier: GPL-3.0-or-later
//
// The windows connect a control to their own work only through onSignal(), so whatever that
// work throws ends in the one error box. This test reads the window sources and fails on any
// other connect() whose handler is a lambda, a functor or a slot, outside a short list: a
// close/accept/reject slot, a signal forwarded as it is, and the few connections inside
// widgets/ that make the kit itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A connect() call found in a source: the file (relative to app/gui), its line and its
// text with the whitespace collapsed.
struct RawConnect {
    std::string file;
    int line = 0;
    std::string call;
};

// The source with comments, string and character literals blanked (newlines kept), so a
// "connect(" inside them is not taken for a call and their parentheses do not count.
std::string codeOnly(const std::string& s) {
    std::string out = s;
    std::size_t i = 0;
    const std::size_t n = s.size();
    auto blank = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to && k < n; ++k) {
            if (out[k] != '\n') {
                out[k] = ' ';
            }
        }
    };
    while (i < n) {
        if (s.compare(i, 2, "//") == 0) {
            const std::size_t end = s.find('\n', i);
            blank(i, end == std::string::npos ? n : end);
            i = end == std::string::npos ? n : end;
        } else if (s.compare(i, 2, "/*") == 0) {
            const std::size_t end = s.find("*/", i + 2);
            const std::size_t stop = end == std::string::npos ? n : end + 2;
            blank(i, stop);
            i = stop;
        } else if (s[i] == '"' || s[i] == '\'') {
            const char quote = s[i];
            std::size_t k = i + 1;
            while (k < n && s[k] != quote && s[k] != '\n') {
                k += s[k] == '\\' ? 2 : 1;
            }
            blank(i + 1, k);
            i = k + 1;
        } else {
            ++i;
        }
    }
    return out;
}

// The top-level arguments of the call whose '(' is at `open`; `close` gets the index of
// its ')'.
std::vector<std::string> arguments(const std::string& code, std::size_t open, std::size_t& close) {
    std::vector<std::string> args;
    std::string current;
    int depth = 0;
    for (std::size_t i = open; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '(' || c == '[' || c == '{') {
            if (depth++ == 0) {
                continue;
            }
        } else if (c == ')' || c == ']' || c == '}') {
            if (--depth == 0) {
                args.push_back(current);
                close = i;
                return args;
            }
        } else if (c == ',' && depth == 1) {
            args.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    close = code.size();
    return args;
}

std::string collapsed(const std::string& s) {
    std::string out;
    bool space = false;
    for (const char c : s) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            space = !out.empty();
        } else {
            if (space) {
                out += ' ';
            }
            out += c;
            space = false;
        }
    }
    return out;
}

// Every connect() of the source whose handler is not a close/accept/reject slot.
std::vector<RawConnect> rawConnects(const std::string& file, const std::string& source) {
    static const std::regex closing(R"(^&\s*\w+\s*::\s*(close|accept|reject)$)");
    const std::string code = codeOnly(source);
    std::vector<RawConnect> found;
    for (std::size_t at = code.find("connect"); at != std::string::npos;
         at = code.find("connect", at + 1)) {
        const bool partOfName =
            at > 0 &&
            (std::isalnum(static_cast<unsigned char>(code[at - 1])) != 0 || code[at - 1] == '_');
        std::size_t open = at + 7;
        while (open < code.size() && std::isspace(static_cast<unsigned char>(code[open])) != 0) {
            ++open;
        }
        if (partOfName || open >= code.size() || code[open] != '(') {
            continue;
        }
        std::size_t close = open;
        const std::vector<std::string> args = arguments(code, open, close);
        // connect(sender, signal, handler), connect(sender, signal, context, handler) and
        // the same with a connection type at the end.
        std::string handler;
        if (args.size() == 3) {
            handler = args[2];
        } else if (args.size() >= 4) {
            handler = args[3];
        }
        handler = collapsed(handler);
        if (args.size() < 3 || std::regex_match(handler, closing)) {
            continue;
        }
        const int line = static_cast<int>(std::count(code.begin(), code.begin() + at, '\n')) + 1;
        found.push_back({file, line, collapsed(source.substr(at, close + 1 - at))});
    }
    return found;
}

// A connection that may stay a plain connect(): the file and a part of the call's text.
struct Allowed {
    const char* file;
    const char* part;
};

// The kit's own connections and signals forwarded as they are.
constexpr Allowed kAllowed[] = {
    // The guarded connection itself.
    {"widgets/connections.h", "guarded(messages, window, std::move(handler))"},
    // The grid's copy and CSV export (the export shows its own failures).
    {"widgets/grid_view.cpp", "[this] { copySelection(); }"},
    {"widgets/grid_view.cpp", "[this] { exportCsvCommand(); }"},
    // A double click forwarded as the row's activation.
    {"widgets/grid_view.cpp", "emit rowActivated(row);"},
    // The window opened next gives the screen back to its opener when it closes.
    {"widgets/hand_over.cpp", "opener->show();"},
};

bool allowed(const RawConnect& c) {
    return std::any_of(std::begin(kAllowed), std::end(kAllowed), [&](const Allowed& a) {
        return c.file == a.file && c.call.find(a.part) != std::string::npos;
    });
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(WindowConnections, ScannerTellsRawConnectionsFromTheAllowedOnes) {
    // clang-format off
    const std::string source = R"cpp(
        // connect(a, &A::clicked, this, [this] { commented(); });
        const char* s = "connect(a, &A::clicked, this, [this] { quoted(); })";
        connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        QObject::connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        onSignal(cmdCalcular, &QPushButton::clicked, this, messages, [this] { compute(); });
        disconnect(a, &A::clicked, this, nullptr);
        connect(cmdCalcular, &QPushButton::clicked, this,
                [this] { compute(")"); });
        QObject::connect(box, &QLineEdit::returnPressed, [this] { commit(); });
        connect(grid, &GridView::rowActivated, this, guarded(m, this, [this](int r) { f(r); }));
        connect(tab, &TabPage::changed, this, &frmCaspersores::refreshState);
    )cpp";
    // clang-format on
    const auto found = rawConnects("frmExample.cpp", source);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].line, 9);
    EXPECT_EQ(found[0].call,
              "connect(cmdCalcular, &QPushButton::clicked, this, [this] { "
              "compute(\")\"); })");
    EXPECT_EQ(found[1].line, 11);
    EXPECT_EQ(found[2].line, 12);
    EXPECT_EQ(found[3].line, 13);
    EXPECT_FALSE(allowed(found[0]));

    // The allow-list names the file as well as the call.
    EXPECT_TRUE(allowed({"widgets/grid_view.cpp", 1,
                         "connect(this, x, this, [this] { "
                         "copySelection(); })"}));
    EXPECT_FALSE(allowed({"frmExample.cpp", 1,
                          "connect(this, x, this, [this] { "
                          "copySelection(); })"}));
    EXPECT_FALSE(allowed({"frmDisHid.cpp", 1, "connect(a, b, this, [this] { f(); })"}));
}

TEST(WindowConnections, WindowsConnectTheirWorkOnlyThroughOnSignal) {
    const fs::path gui = fs::path(KAMBRIX_SOURCE_DIR) / "app" / "gui";
    ASSERT_TRUE(fs::is_directory(gui)) << gui;
    int files = 0;
    int guardedConnections = 0;
    std::vector<RawConnect> offending;
    for (const auto& entry : fs::recursive_directory_iterator(gui)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) {
            continue;
        }
        ++files;
        const std::string source = readFile(entry.path());
        const std::string code = codeOnly(source);
        for (std::size_t at = code.find("onSignal("); at != std::string::npos;
             at = code.find("onSignal(", at + 1)) {
            ++guardedConnections;
        }
        const std::string file = fs::relative(entry.path(), gui).generic_string();
        for (const RawConnect& c : rawConnects(file, source)) {
            if (!allowed(c)) {
                offending.push_back(c);
            }
        }
    }
    // The sources were found and read: the windows do connect through onSignal.
    EXPECT_GT(files, 20);
    EXPECT_GT(guardedConnections, 40);
    std::string list;
    for (const RawConnect& c : offending) {
        list += "  app/gui/" + c.file + ":" + std::to_string(c.line) + ": " + c.call + "\n";
    }
    EXPECT_TRUE(offending.empty())
        << "Connect these through onSignal(sender, signal, window, messages, handler), so "
           "what they throw reaches the error box:\n"
        << list;
}

}  // namespace

// The windows ask the library's factory for nothing: its records and services are made by
// the presenters and stores of the Qt-free library, which the tests reach below the windows.
TEST(WindowConnections, NoWindowUsesTheLibraryFactory) {
    const fs::path gui = fs::path(KAMBRIX_SOURCE_DIR) / "app" / "gui";
    ASSERT_TRUE(fs::is_directory(gui)) << gui;
    std::string list;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(gui)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) {
            continue;
        }
        ++files;
        const std::string code = codeOnly(readFile(entry.path()));
        static const std::regex factory(R"(\bstatics\s*\(\s*\))");
        int line = 1;
        std::size_t from = 0;
        for (auto it = std::sregex_iterator(code.begin(), code.end(), factory);
             it != std::sregex_iterator(); ++it) {
            const auto at = static_cast<std::size_t>(it->position());
            line +=
                static_cast<int>(std::count(code.begin() + static_cast<std::ptrdiff_t>(from),
                                            code.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
            from = at;
            list += "  app/gui/" + fs::relative(entry.path(), gui).generic_string() + ":" +
                    std::to_string(line) + "\n";
        }
    }
    EXPECT_GT(files, 20);
    EXPECT_TRUE(list.empty()) << "Move these calls behind a presenter or store:\n" << list;
    // The pattern finds a call and leaves a comment alone.
    EXPECT_TRUE(std::regex_search(codeOnly("auto& st = quarvex::statics();"),
                                  std::regex(R"(\bstatics\s*\(\s*\))")));
    EXPECT_FALSE(
        std::regex_search(codeOnly("// quarvex::statics()"), std::regex(R"(\bstatics\s*\(\s*\))")));
}
