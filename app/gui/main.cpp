// SPDX-License-Identifier: GPL-3.0-or-later
//
// Kambrix: start-up settles the resource folders and the databases, then the main window.
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gui/frmPrincipal.h"
#include "gui/widgets/app_services.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/qt_message_service.h"
#include "gui/widgets/units_view.h"
#include "shell/startup.h"
#include "shell/system_document.h"
#include "shell/version.h"

namespace {

// The configuration of the run, settled once before the first window: the folders, the
// database folder (with the offer to fill an empty one) and whether it can be written.
// Empty when the program cannot start (the reason has been shown).
std::optional<kambrix::AppConfig> settleConfiguration(int argc, char** argv,
                                                      kambrix::MessageService& messages) {
    const char* environment = std::getenv("KAMBRIX_DB");
    try {
        kambrix::AppConfig config = kambrix::startUp(
            QCoreApplication::applicationDirPath().toStdString(),
            environment != nullptr ? environment : "",
            kambrix::joinCommandLine(argc, const_cast<const char* const*>(argv)),
            kambrix::userDataRoot(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
        const auto icon = config.imagesFolder / "kambrix.png";
        QApplication::setWindowIcon(QIcon(QString::fromStdString(icon.string())));
        kambrix::checkDatabasesAtStart(
            config,
            [&](const std::string& question) {
                return messages.confirm(nullptr, QString::fromStdString(question),
                                        kambrix::MessageService::Default::Yes);
            },
            [&](const std::string& text) {
                messages.showMessage(nullptr, QString::fromStdString(text));
            },
            [&](const std::string& text, const std::string& detail) {
                messages.showMessage(nullptr, QString::fromStdString(text),
                                     QString::fromStdString(detail));
            });
        return config;
    } catch (const kambrix::StartupError& e) {
        messages.showMessage(nullptr, QString::fromStdString(e.what()));
        return std::nullopt;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before anything else: needs no display, no resource folders, no databases.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", kambrix::programName().c_str(),
                        kambrix::programVersion().c_str());
            return EXIT_SUCCESS;
        }
    }
    kambrix::KambrixApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kambrix"));
    QApplication::setApplicationVersion(QString::fromStdString(kambrix::programVersion()));
    // Options that answer without opening a window are read here, before the start-up.

    // The main window hides while the next window is open, so closing that one must not end
    // the program; closing the main window does.
    QApplication::setQuitOnLastWindowClosed(false);
    kambrix::QtMessageService messages;
    application.setMessageService(&messages);

    const std::optional<kambrix::AppConfig> settled = settleConfiguration(argc, argv, messages);
    if (!settled) {
        return EXIT_FAILURE;
    }
    const kambrix::AppConfig config = *settled;
    kambrix::SystemDocument document;
    const kambrix::AppServices services{config, messages, document};
    // The units the user chose last time.
    kambrix::loadUnitsSetting();

    kambrix::frmPrincipal principal(services);
    principal.show();
    return QApplication::exec();
}
