// SPDX-License-Identifier: GPL-3.0-or-later
//
// One database unit of work: open the connection, run the statements (a save inside one
// transaction), close. Leaving the scope without commit() rolls back and closes, so an
// error half-way through a save never leaves a transaction open or half-committed work.
#pragma once

#include <quarvex/quarvex.h>

#include <string>
#include <utility>

namespace kambrix {

class UnitOfWork {
  public:
    enum class Mode { Read, Write };

    // Opens the connection; Write also begins a transaction.
    explicit UnitOfWork(const std::string& connectionString, Mode mode = Mode::Read);
    ~UnitOfWork();
    UnitOfWork(const UnitOfWork&) = delete;
    UnitOfWork& operator=(const UnitOfWork&) = delete;

    quarvex::Connection& connection() noexcept { return con_; }
    // Commits the transaction (Write) and closes the connection.
    void commit();

  private:
    quarvex::Connection con_;
};

// Runs `work(connection)` on a fresh connection and returns its result.
template <class F>
decltype(auto) readFrom(const std::string& connectionString, F&& work) {
    UnitOfWork unit(connectionString, UnitOfWork::Mode::Read);
    return std::forward<F>(work)(unit.connection());
}

// Runs `work(connection)` inside one transaction: committed when it returns, rolled back
// when it throws.
template <class F>
void writeTo(const std::string& connectionString, F&& work) {
    UnitOfWork unit(connectionString, UnitOfWork::Mode::Write);
    std::forward<F>(work)(unit.connection());
    unit.commit();
}

}  // namespace kambrix
