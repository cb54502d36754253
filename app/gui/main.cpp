// SPDX-License-Identifier: GPL-3.0-or-later
//
// Kambrix: start-up settles the resource folders and the databases, then the main window.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gui/app_context.h"
#include "gui/frmPrincipal.h"
#include "shell/startup.h"
#include "shell/version.h"

int main(int argc, char** argv) {
    // Answered before anything else: needs no display, no resource folders, no databases.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", kambrix::programName().c_str(),
                        kambrix::programVersion().c_str());
            return EXIT_SUCCESS;
        }
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kambrix"));
    QApplication::setApplicationVersion(QString::fromStdString(kambrix::programVersion()));
    // The main window hides while the next window is open, so closing that one must not end
    // the program; closing the main window does.
    QApplication::setQuitOnLastWindowClosed(false);
    const char* environment = std::getenv("KAMBRIX_DB");
    try {
        kambrix::app().config = kambrix::startUp(
            QCoreApplication::applicationDirPath().toStdString(),
            environment != nullptr ? environment : "", kambrix::joinCommandLine(argc, argv),
            kambrix::userDataRoot(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    } catch (const kambrix::StartupError& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Kambrix"), QString::fromStdString(e.what()));
        return EXIT_FAILURE;
    }
    const auto icon = kambrix::app().config.imagesFolder / "kambrix.png";
    QApplication::setWindowIcon(QIcon(QString::fromStdString(icon.string())));
    kambrix::frmPrincipal principal;
    principal.show();
    return QApplication::exec();
}
