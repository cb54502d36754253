// SPDX-License-Identifier: GPL-3.0-or-later
//
// The system the user works on: the chosen project (whether it is stored), and, while the
// sprinkler-chart workbench is open, the working pivot shown and its chart. Windows and tabs
// that show any of these subscribe and are told what changed; nothing else in the program
// holds the current system.
#pragma once

#include <quarvex/quarvex.h>

#include <functional>
#include <memory>
#include <vector>

#include "shell/projectos.h"

namespace kambrix {

class SystemDocument {
  public:
    enum class Change {
        Project,      // another project was chosen, or the project was saved
        Pivot,        // another working pivot (and chart) became the current one
        Computation,  // the current pivot was computed again
        Chart,        // the chart or its accessories changed without a computation
    };
    using Listener = std::function<void(Change)>;

    const Projecto& project() const noexcept { return project_; }
    // 1 after opening an existing system or a copy, 0 after creating a new empty one; the
    // agronomic and design screens set it to 1 when they store the project.
    bool projectStored() const noexcept { return stored_; }
    bool hasProject() const noexcept { return hasProject_; }
    void setProject(Projecto project, bool stored);
    // The stored project after a screen saved it (keeps the working pivot).
    void projectSaved(Projecto project);

    const std::shared_ptr<quarvex::PivotWrapper>& wrapper() const noexcept { return wrapper_; }
    const std::shared_ptr<quarvex::CartaAspersores>& chart() const noexcept { return chart_; }
    void setCurrent(std::shared_ptr<quarvex::PivotWrapper> wrapper,
                    std::shared_ptr<quarvex::CartaAspersores> chart);
    void clearCurrent();

    // Tells every listener; the workbench calls it after a computation or an edit.
    void notify(Change change);

    // A listener stays until unsubscribe(id); listeners may unsubscribe while being told.
    int subscribe(Listener listener);
    void unsubscribe(int id);

  private:
    Projecto project_;
    bool stored_ = false;
    bool hasProject_ = false;
    std::shared_ptr<quarvex::PivotWrapper> wrapper_;
    std::shared_ptr<quarvex::CartaAspersores> chart_;
    struct Entry {
        int id;
        Listener listener;
    };
    std::vector<Entry> listeners_;
    int nextId_ = 1;
};

}  // namespace kambrix
