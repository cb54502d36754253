// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/system_document.h"

#include <algorithm>

namespace kambrix {

void SystemDocument::setProject(Projecto project, bool stored) {
    project_ = std::move(project);
    stored_ = stored;
    hasProject_ = true;
    clearCurrent();
    notify(Change::Project);
}

void SystemDocument::projectSaved(Projecto project) {
    project_ = std::move(project);
    stored_ = true;
    hasProject_ = true;
    notify(Change::Project);
}

void SystemDocument::setCurrent(std::shared_ptr<quarvex::PivotWrapper> wrapper,
                                std::shared_ptr<quarvex::CartaAspersores> chart) {
    wrapper_ = std::move(wrapper);
    chart_ = std::move(chart);
    notify(Change::Pivot);
}

void SystemDocument::clearCurrent() {
    wrapper_.reset();
    chart_.reset();
}

void SystemDocument::notify(Change change) {
    // A copy: a listener may subscribe or unsubscribe while it is told.
    const std::vector<Entry> listeners = listeners_;
    for (const auto& e : listeners) {
        const bool stillSubscribed =
            std::any_of(listeners_.begin(), listeners_.end(),
                        [&](const Entry& current) { return current.id == e.id; });
        if (stillSubscribed) {
            e.listener(change);
        }
    }
}

int SystemDocument::subscribe(Listener listener) {
    const int id = nextId_++;
    listeners_.push_back({id, std::move(listener)});
    return id;
}

void SystemDocument::unsubscribe(int id) {
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [id](const Entry& e) { return e.id == id; }),
                     listeners_.end());
}

}  // namespace kambrix
