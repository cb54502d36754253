// SPDX-License-Identifier: GPL-3.0-or-later
//
// mkdb: builds an SQLite database file from a file of SQL text.
//
//   mkdb <input.sql> <output file>
//
// The statements run inside one transaction in a temporary file beside the output, which
// is renamed over the output only when everything succeeded, so a failed run never leaves
// a half-written database behind.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Closes the database and, unless released, removes the temporary file.
class TempDatabase {
  public:
    explicit TempDatabase(fs::path path) : path_(std::move(path)) {}
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;
    ~TempDatabase() {
        close();
        if (!keep_) {
            std::error_code ec;
            fs::remove(path_, ec);
            fs::remove(path_.string() + "-journal", ec);
        }
    }
    sqlite3*& handle() { return db_; }
    void close() {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    void keep() { keep_ = true; }

  private:
    fs::path path_;
    sqlite3* db_ = nullptr;
    bool keep_ = false;
};

bool exec(sqlite3* db, const std::string& sql, const std::string& where) {
    char* msg = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
        std::cerr << "mkdb: " << where << ": " << (msg ? msg : sqlite3_errmsg(db)) << '\n';
        sqlite3_free(msg);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mkdb <input.sql> <output file>\n";
        return 2;
    }
    const fs::path input = argv[1];
    const fs::path output = argv[2];

    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::cerr << "mkdb: cannot read " << input << '\n';
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    std::error_code ec;
    if (output.has_parent_path()) {
        fs::create_directories(output.parent_path(), ec);
    }
    const fs::path temp = output.string() + ".part";
    fs::remove(temp, ec);

    TempDatabase db(temp);
    if (sqlite3_open_v2(temp.string().c_str(), &db.handle(),
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::cerr << "mkdb: cannot create " << temp << ": " << sqlite3_errmsg(db.handle()) << '\n';
        return 1;
    }
    const std::string where = input.string();
    if (!exec(db.handle(), "BEGIN", where) || !exec(db.handle(), text.str(), where) ||
        !exec(db.handle(), "COMMIT", where)) {
        return 1;
    }
    db.close();
    fs::rename(temp, output, ec);
    if (ec) {
        std::cerr << "mkdb: cannot rename " << temp << " to " << output << ": " << ec.message()
                  << '\n';
        return 1;
    }
    db.keep();
    return 0;
}
