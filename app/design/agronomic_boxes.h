// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the two agronomic screens share: reading their number boxes (a blank box is a value
// not given), checking a box when the user leaves it, the texts of the result labels, and
// the efficiency results both show. The screens pass their decimal separator.
#pragma once

#include <array>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "design/agronomics.h"
#include "shell/unit_system.h"

namespace kambrix {

// Decimals of the result labels.
inline constexpr int kEfficiencyDecimals = 2;  // Epa and application efficiency, %
inline constexpr int kReDecimals = 3;          // Re, a fraction
inline constexpr int kGirDecimals = 2;         // mm/day
inline constexpr int kDischargeDecimals = 2;   // L/s

// The boxes of the efficiency inputs, as typed: txtPa, txtCU, txtEto, txtU, cmbCI, txtOe.
struct EfficiencyBoxes {
    std::string Pa, CU, Eto, U, CI, Oe;
};

// The value of a box: kMissing when blank, NaN when the text is not a number in the user's
// notation (it then lies in no range), else parseNumber of the text.
double boxValue(const std::string& text, char decimalSeparator);
// The text a box shows for a stored value: empty for `missing`, else the shortest text that
// reads back to the value, with the user's separator.
std::string boxText(double value, char decimalSeparator, double missing = kMissing);
// The check when the user leaves a box: none for a blank box or a number in the input's
// range; else the message for a text that is not a number, or rangeMessage.
std::optional<std::string> checkBox(AgronomicInput input, const std::string& text,
                                    char decimalSeparator);
// The items of cmbCI: "7" to "17".
std::vector<std::string> ciChoices();

// The efficiency values of the boxes, keeping the ids of `base`.
EpaFunction readEfficiencyBoxes(const EfficiencyBoxes& boxes, char decimalSeparator,
                                const EpaFunction& base = {});
// The boxes' texts for stored efficiency values.
EfficiencyBoxes efficiencyBoxes(const EpaFunction& epa, char decimalSeparator);
// The text of the efficiency box of `input` (Pa, CU, Eto, U, CI, Oe); empty for another input.
std::string efficiencyBoxOf(const EfficiencyBoxes& boxes, AgronomicInput input);
// The value the project stores for an area or daily hours read from a box: 0 when not given.
inline double projectValue(double boxValue) {
    return boxValue == kMissing ? 0.0 : boxValue;
}
// The first message of checkBox over the six boxes, in the checks' order.
std::optional<std::string> checkEfficiencyBoxes(const EfficiencyBoxes& boxes,
                                                char decimalSeparator);

// The result labels of the screens.
enum class ResultLabel { DEpa, Re, Epa, GIR, Caudal };
// The label's object name: "lblDEpa_v", "lblRe_v", "lblEpa_v", "lblGIR_v", "lblCaudal_v".
const char* labelName(ResultLabel label);
// The labels a missing-input message clears: Pa and CU clear lblDEpa_v and lblEpa_v; Eto, U
// and CI clear lblRe_v and lblEpa_v; Oe clears lblEpa_v; the others none.
std::vector<ResultLabel> labelsClearedBy(AgronomicInput notGiven);

// What an input's box holds, for its unit: Etc, Pe and Eto are daily depths, the field area
// an area, Qfc a discharge per area; none for the inputs whose unit no system changes
// (percentages, factors, hours, the wind speed in km/h).
std::optional<Quantity> inputQuantity(AgronomicInput input);
// What a result label shows, for its unit: GIR a daily depth, the system discharge a
// discharge; none for the efficiencies.
std::optional<Quantity> resultQuantity(ResultLabel label);

// What a screen command gives the window to show.
struct ResultTexts {
    // Each label's new text: none leaves the label as it is, an empty text clears it.
    std::optional<std::string> DEpa, Re, Epa, GIR, Caudal;
    // A message to show (an input not given, or a box out of its range).
    std::optional<std::string> message;
    // The labels the message clears (their texts above are empty).
    std::vector<ResultLabel> cleared;
    // The system discharge shown in Caudal, L/s; kMissing when none.
    double systemDischarge = kMissing;
    // A computation error (a numbered AppError): show the texts above, then rethrow it so
    // that it reaches the window's error handling.
    std::exception_ptr fault;

    // The computed values behind the texts (stored units, by ResultLabel), for a window that
    // shows them in other units; none for a label whose text came otherwise.
    std::array<std::optional<double>, 5> values{};

    std::optional<std::string> text(ResultLabel label) const;
    std::optional<double> value(ResultLabel label) const {
        return values[static_cast<std::size_t>(label)];
    }
};

// What a save gives the window.
struct SaveOutcome {
    bool saved = false;
    // Why nothing was saved (a box out of its range); a failure of the store raises instead.
    std::optional<std::string> message;
    // The text of lblCaudal_v after the save (the project's discharge, L/s).
    std::string discharge;
    // That discharge's value, L/s, for a window that shows it in other units.
    std::optional<double> dischargeValue;
};

// The label text of a result: formatDecimals with the user's separator.
std::string resultText(double value, int decimals, char decimalSeparator);

// For the presenters of the screens: the label's text from a result (empty when there is
// none; the first fault met is kept in `fault`).
void showResult(ResultTexts& texts, ResultLabel label, const AgronomicResult& result, int decimals,
                char decimalSeparator);
// The message of an input not given, clearing the labels it clears.
void reportNotGiven(ResultTexts& texts, AgronomicInput input, const std::string& fieldAreaText);
// Sets one label's text.
void setResultText(ResultTexts& texts, ResultLabel label, std::string text);

// The efficiency results of the six boxes: Epa when Pa and CU are valid, Re when Eto, U and
// CI are valid, the application efficiency when all six are given and valid; each other
// efficiency label cleared. The first input not given (in the checks' order) gives its
// message and the labels it clears.
ResultTexts efficiencyResults(const EpaFunction& epa, char decimalSeparator);

}  // namespace kambrix
