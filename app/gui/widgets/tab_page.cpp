// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/tab_page.h"

namespace kambrix {

TabPage::TabPage(const char* objectName, QWidget* parent) : QWidget(parent) {
    setObjectName(objectName);
}

}  // namespace kambrix
