// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-demo-db <template folder> <target folder>: makes a demo database folder from the
// template databases with one demo system in it. An existing target is left alone.
#include <quarvex/quarvex.h>

#include <exception>
#include <iostream>

#include "demo/demo_project.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kambrix-demo-db <template folder> <target folder>\n";
        return 2;
    }
    try {
        if (kambrix::makeDemoDatabaseFolder(argv[1], argv[2])) {
            std::cout << "Demo databases made in " << argv[2] << "\n";
        } else {
            std::cout << "Demo databases already in " << argv[2] << "\n";
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "kambrix-demo-db: " << e.what() << "\n";
        return 1;
    }
}
