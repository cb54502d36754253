// SPDX-License-Identifier: GPL-3.0-or-later
//
// A new empty system is stored the moment it is created, so that the design screens have a
// row to save into. When the user leaves it without ever saving it, that empty row goes
// again: the list of systems holds only systems somebody kept.
#pragma once

#include <string>

#include "shell/projectos.h"
#include "shell/system_document.h"

namespace kambrix {

// Removes the project `projectId` through `store` (with whatever that store removes along
// with it) when it is still the document's project, the document has never stored it and its
// row holds no spans. True when it was removed; a project saved meanwhile, or another project
// chosen since, is left alone. Database faults pass on.
bool discardNewSystemLeftUnsaved(const std::string& projectsConnectionString,
                                 const SystemDocument& document, int projectId,
                                 const Projectos& store);

}  // namespace kambrix
