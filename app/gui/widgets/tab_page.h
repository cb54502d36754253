// SPDX-License-Identifier: GPL-3.0-or-later
//
// One tab of a window with several result tabs (one class and file per tab). The window owns
// the data the tabs share (the computed pivot, the current chart in the system document) and
// tells every tab to draw it again with updateData(), or to show nothing with clear(). A tab
// whose own controls change something the others show emits changed().
//
// Use: `class TabSalidas : public TabPage { Q_OBJECT ... void updateData() override; ... };`
// with the page's object name as the language file's target of its tab caption.
#pragma once

#include <QWidget>

namespace kambrix {

class TabPage : public QWidget {
    Q_OBJECT

  public:
    explicit TabPage(const char* objectName, QWidget* parent = nullptr);

    // Draws the shared data again.
    virtual void updateData() = 0;
    // Shows nothing (the data are incomplete or gone).
    virtual void clear() = 0;

  signals:
    // The user changed, in this tab, data that other tabs or the window show.
    void changed();
};

}  // namespace kambrix
