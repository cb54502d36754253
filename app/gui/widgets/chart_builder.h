// SPDX-License-Identifier: GPL-3.0-or-later
//
// The windows' chart builder lives with the printed reports, which draw their figures with
// it too; the windows keep naming it from here.
#pragma once

#include "report/chart_builder.h"
