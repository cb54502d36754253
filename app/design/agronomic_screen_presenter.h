// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the two agronomic screens (the crop-data design and the scheduling-model import) do
// alike: the discharge label, the discharge command's answer, the first box out of its range,
// and the save of the project with the screen's record in one path.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "design/agronomic_boxes.h"
#include "shell/projectos.h"
#include "shell/system_document.h"

namespace kambrix {

class AgronomicScreenPresenter {
  public:
    char decimalSeparator() const noexcept { return separator_; }
    // lblCaudal_v for a discharge (L/s): empty for 0.
    std::string dischargeText(double q) const;

  protected:
    explicit AgronomicScreenPresenter(char decimalSeparator) : separator_(decimalSeparator) {}

    // The box text of an input as the screen holds it.
    using BoxOf = std::function<std::string(AgronomicInput)>;

    // The discharge command: Caudal from `q`, or the reason it is not available (an input
    // not given, the check message of a box out of its range).
    ResultTexts dischargeResults(const AgronomicResult& q, const BoxOf& boxOf,
                                 const std::string& fieldAreaText) const;
    // The first checkBox message over the inputs, in the order given.
    std::optional<std::string> firstBoxMessage(std::initializer_list<AgronomicInput> order,
                                               const BoxOf& boxOf) const;

    // The save of a screen: raises when no system is chosen; refuses with `boxMessage`;
    // else puts the area and hours (box values; 0 when not given) and the system discharge
    // `discharge` gives for them (when available; a fault raises) into a copy of the
    // document's project, hands it to `store` (the one transaction of the project and the
    // screen's record) and, once stored, gives it to the document.
    SaveOutcome saveProject(SystemDocument& document, const std::optional<std::string>& boxMessage,
                            double area, double hours,
                            const std::function<AgronomicResult(const Projecto&)>& discharge,
                            const std::function<void(Projecto&)>& store) const;

    char separator_;
};

}  // namespace kambrix
