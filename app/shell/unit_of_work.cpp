// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/unit_of_work.h"

namespace kambrix {

UnitOfWork::UnitOfWork(const std::string& connectionString, Mode mode) : con_(connectionString) {
    con_.Open();
    if (mode == Mode::Write) {
        try {
            con_.BeginTrans();
        } catch (...) {
            con_.Close();
            throw;
        }
    }
}

UnitOfWork::~UnitOfWork() {
    if (con_.InTransaction()) {
        try {
            con_.RollbackTrans();
        } catch (...) {
            // Closing below discards the transaction anyway.
        }
    }
    con_.Close();
}

void UnitOfWork::commit() {
    if (con_.InTransaction()) {
        con_.CommitTrans();
    }
    con_.Close();
}

}  // namespace kambrix
