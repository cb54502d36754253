// SPDX-License-Identifier: GPL-3.0-or-later
//
// Fresh folders and database copies for the application tests, under the build tree.
#pragma once

#include <quarvex/quarvex.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

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

// Makes a database folder and its files read-only for this process, even for the
// administrator (the immutable attribute, else the permission bits), and restores them when
// it goes. `active()` is false where the file system allows neither; tests skip then.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const std::filesystem::path& folder) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            paths_.push_back(entry.path());
        }
        paths_.push_back(folder);  // the folder last, once its files are done
        for (const auto& p : paths_) {
            if (!setImmutable(p, true)) {
                ::chmod(p.c_str(), std::filesystem::is_directory(p) ? 0555 : 0444);
                chmodded_.push_back(p);
            }
        }
        active_ = ::access(folder.c_str(), W_OK) != 0;
    }
    ~ReadOnlyFolder() {
        for (auto it = paths_.rbegin(); it != paths_.rend(); ++it) {
            setImmutable(*it, false);
        }
        for (const auto& p : chmodded_) {
            ::chmod(p.c_str(), std::filesystem::is_directory(p) ? 0755 : 0644);
        }
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool active() const { return active_; }

  private:
    static bool setImmutable(const std::filesystem::path& p, bool on) {
        const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
    std::vector<std::filesystem::path> paths_;
    std::vector<std::filesystem::path> chmodded_;
    bool active_ = false;
};

// Number of rows a statement counts (column "n").
inline int count(quarvex::Connection& con, const std::string& sql) {
    auto rs = con.Execute(sql);
    return static_cast<int>(rs.Field("n").AsLong());
}

}  // namespace kambrix::test
