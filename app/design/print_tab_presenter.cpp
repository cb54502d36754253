// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/print_tab_presenter.h"

#include "shell/services.h"

namespace kambrix {

SignoffNames PrintTabPresenter::names() const {
    const ChartSignoff& s = workbench_.chartSignoff();
    return {workbench_.designerName(), s.checkedBy, s.approvedBy};
}

bool PrintTabPresenter::setNames(const SignoffNames& names) {
    ChartSignoff s = workbench_.chartSignoff();
    const ChartSignoff before = s;
    s.designedBy = trim(names.designedBy);
    s.checkedBy = trim(names.checkedBy);
    s.approvedBy = trim(names.approvedBy);
    if (s == before) {
        return false;
    }
    workbench_.setChartSignoff(s);
    workbench_.markChartChanged();
    return true;
}

bool PrintTabPresenter::setRegulatorModel(const std::string& model) {
    ChartSignoff s = workbench_.chartSignoff();
    const std::string clean = trim(model);
    if (s.regulatorModel == clean) {
        return false;
    }
    s.regulatorModel = clean;
    workbench_.setChartSignoff(s);
    workbench_.markChartChanged();
    return true;
}

}  // namespace kambrix
