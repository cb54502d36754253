// SPDX-License-Identifier: GPL-3.0-or-later
//
// The projects store with every store that keeps rows of a system: a copied system gets
// copies of its agronomic rows and its supply, a deleted one takes them with it, in the one
// transaction of the copy or the delete.
#pragma once

#include "shell/projectos.h"

namespace kambrix {

Projectos systemStore();

}  // namespace kambrix
