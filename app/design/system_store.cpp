// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/system_store.h"

#include "design/agronomic_store.h"
#include "design/chart_print_store.h"
#include "design/supply_store.h"
#include "evaluation/evaluation_conditions.h"

namespace kambrix {

Projectos systemStore() {
    return Projectos({agronomicRowsParticipant(), supplyRowsParticipant(),
                      conditionRowsParticipant(), printRowsParticipant()});
}

}  // namespace kambrix
