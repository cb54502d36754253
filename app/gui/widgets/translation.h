// SPDX-License-Identifier: GPL-3.0-or-later
//
// Window captions from the language file. Windows are built with their Spanish design
// captions; their section of the language file replaces them when they load.
#pragma once

#include <QStringList>
#include <filesystem>
#include <vector>

#include "shell/language_file.h"

class QObject;
class QWidget;

namespace kambrix {

// Applies entries of a language-file section to a window: "Caption" of the window is its
// title; of a button, check box, option button or label its text; of a frame (group box)
// its title; of a tab page the tab's text; "Text" of a text box its text; "ToolTipText" the
// tooltip; any other name sets a property the control already has (the grids declare
// "ColumnCaptions" and "CommandCaptions", the charts "SeriesCaptions", labels with a varying
// text a "Prefix"). Unknown targets and properties are skipped.
void applyTranslations(QWidget* window, const std::vector<TranslationEntry>& entries);
// Reads the window's section (headed by its object name) from the language file and applies
// it. A file that cannot be read leaves the Spanish captions.
void translateForm(QWidget* window, const std::filesystem::path& languageFile);

// The ";"-separated texts of a declared caption property (grid columns, series names).
QStringList captionList(const QObject* target, const char* property);

}  // namespace kambrix
