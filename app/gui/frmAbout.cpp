// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmAbout.h"

#include <sqlite3.h>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

#include "gui/widgets/controls.h"
#include "gui/widgets/translation.h"
#include "shell/version.h"

namespace kambrix {

frmAbout::frmAbout(const AppServices& services, QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle(QStringLiteral("Acerca de Kambrix"));
    auto* layout = new QVBoxLayout(this);
    auto add = [&](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setWordWrap(true);
        layout->addWidget(l);
        return l;
    };
    auto* name = add("lblNombre", QString::fromStdString(programName()));
    QFont f = name->font();
    f.setPointSizeF(f.pointSizeF() * 1.5);
    f.setBold(true);
    name->setFont(f);
    add("lblDescripcion", QStringLiteral("Diseño y evaluación de pivots de riego"));
    add("lblVersionTitulo", QStringLiteral("Versión"));
    add("lblVersion", QString::fromStdString(programVersion()));
    add("lblLicencia", QStringLiteral("Licencia: GNU General Public License, versión 3 o posterior "
                                      "(GPL-3.0-or-later)"));
    add("lblBibliotecasTitulo", QStringLiteral("Bibliotecas utilizadas:"));
    add("lblBibliotecas",
        QStringLiteral("Quarvex %1, Zarede, Qt %2, SQLite %3")
            .arg(QString::fromStdString(programVersion()), QString::fromLatin1(qVersion()),
                 QString::fromLatin1(sqlite3_libversion())));
    auto* ok = new QPushButton(QStringLiteral("Aceptar"), this);
    ok->setObjectName("cmdAceptar");
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    translateForm(this, services.config.languageFile);
    setMinimumWidth(460);
}

}  // namespace kambrix
