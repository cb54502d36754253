// SPDX-License-Identifier: GPL-3.0-or-later
//
// The window tests' application, fixture and helpers: fresh databases, the scripted message
// service, the system document and the services the windows are given.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLocale>
#include <clocale>
#include <filesystem>
#include <ostream>
#include <string>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "gui/widgets/app_services.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/scripted_message_service.h"
#include "shell/projectos.h"
#include "shell/system_document.h"
#include "shell/unit_of_work.h"

// QString in test failures as text.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace kambrix::test {

// The program's application object, made once for the whole test run.
inline KambrixApplication& application() {
    static int argc = 1;
    static char name[] = "kambrix-windows-test";
    static char* argv[] = {name, nullptr};
    static KambrixApplication* a = new KambrixApplication(argc, argv);
    return *a;
}

template <class T>
T* child(QWidget* w, const char* name) {
    auto* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// Types the text into the box and leaves it, as the user does.
inline void type(QLineEdit* box, const QString& text) {
    box->setText(text);
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(box, &out);
}

// The visible top-level window of that name, or nullptr.
inline QWidget* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

inline void closeTopLevels(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name)) {
            w->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A comma locale for Qt and for the C library, as the program runs under de_DE; the point
// locale comes back at the end.
class CommaLocale {
  public:
    CommaLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
    ~CommaLocale() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        std::setlocale(LC_ALL, "C");
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
};

// Every test ends without a box of an error no window expected: one raised by a handler
// (guarded or through the application's notify) fails the test unless it said
// messages.expectErrorBoxes().
class WindowFixture : public ::testing::Test {
  protected:
    WindowFixture() { application(); }
    void SetUp() override {
        application().setMessageService(&messages);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        config.languageFile =
            std::filesystem::path(KAMBRIX_SOURCE_DIR) / "resources" / "m17n" / "EN_en.txt";
        config.imagesFolder = std::filesystem::path(KAMBRIX_SOURCE_DIR) / "resources" / "imagens";
        con.Open(config.projectsConnectionString);
    }
    void TearDown() override {
        application().setMessageService(nullptr);
        const QStringList unexpected = messages.unexpectedErrorBoxes();
        EXPECT_TRUE(unexpected.isEmpty()) << "boxes of unexpected errors:\n"
                                          << unexpected.join("\n---\n").toStdString();
        con.Close();
        QLocale::setDefault(QLocale::c());
    }

    int projectCount() { return count(con, "SELECT count(*) AS n FROM projectos"); }

    // Stores the demo project and makes it the document's project; returns it as stored.
    Projecto openDemoProject() {
        Projecto demo = readFrom(config.tramosConnectionString,
                                 [&](quarvex::Connection& t) { return makeDemoProject(t, con); });
        Projectos().saveProject(con, demo);
        Projecto loaded =
            *Projectos().loadProject(con, Projectos().nameCondition(demo.nome), "tramos");
        document.setProject(loaded, true);
        return loaded;
    }

    TempFolder tmp{"windows"};
    AppConfig config = freshDatabases(tmp);
    ScriptedMessageService messages;
    SystemDocument document;
    AppServices services{config, messages, document};
    quarvex::Connection con;
};

}  // namespace kambrix::test
