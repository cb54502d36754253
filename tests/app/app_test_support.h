// SPDX-License-Identifier: GPL-3.0-or-later
//
// Fresh folders and database copies for the application tests, under the build tree.
#pragma once

#include <quarvex/quarvex.h>

#include <unistd.h>
#include <atomic>
#include <filesystem>
#include <string>

#include "shell/errors.h"
#include "shell/startup.h"

namespace kambrix::test {

// A new empty folder under the test build folder, removed when the object goes.
class TempFolder {
  public:
    explicit TempFolder(const std::string& tag) {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::path(KAMBRIX_TEST_TMP) /
                (tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::filesystem::path templateFolder() {
    return KAMBRIX_DB_TEMPLATE;
}

// A database folder "db" inside `root`, copied from the template, with its connection strings.
inline AppConfig freshDatabases(const TempFolder& root) {
    const auto choice =
        locateDatabaseFolder((root.path() / "db").string(), {}, {}, templateFolder());
    AppConfig config;
    setDatabaseFolder(config, choice.folder);
    return config;
}

// The number of the error f raises, whatever its type (program, library or curve library);
// 0 when it raises none.
template <class F>
std::int32_t numberOf(F&& f) {
    try {
        f();
    } catch (...) {
        return errorNumberOf(std::current_exception());
    }
    return 0;
}

// Number of rows a statement counts (column "n").
inline int count(quarvex::Connection& con, const std::string& sql) {
    auto rs = con.Execute(sql);
    return static_cast<int>(rs.Field("n").AsLong());
}

}  // namespace kambrix::test
