// SPDX-License-Identifier: GPL-3.0-or-later
//
// The "fill in every field" check of a form: the fields left blank are named together in one
// box ("The information for the nozzle is incomplete. It must be given the designation and
// the coefficient a") and the focus goes to the first of them, so the user sees at once all
// that is missing instead of one field per try.
//
// Use: `RequiredFields f; f.need(txtBoquilla_, "the designation").need(a_).need(b_);
//       if (!f.check(messages, this, "the nozzle")) return false;`
#pragma once

#include <string>
#include <vector>

class QLineEdit;
class QWidget;

namespace kambrix {

class MessageService;
class NumberBox;

class RequiredFields {
  public:
    // A field that is missing when `given` is false; `what` names it, `focus` takes the focus.
    RequiredFields& need(bool given, const std::string& what, QWidget* focus);
    // A text box missing when blank (spaces only).
    RequiredFields& need(QLineEdit* box, const std::string& what);
    // A number box missing when blank, named as its messages name it.
    RequiredFields& need(const NumberBox* box);

    // The names of the missing fields, in the order they were given.
    const std::vector<std::string>& missing() const noexcept { return missing_; }
    // The message naming them (`item`: what the form describes; empty: the requirement
    // alone); empty when nothing is missing.
    std::string message(const std::string& item) const;
    // True when nothing is missing; else shows message(item) and puts the focus on the first
    // missing field.
    bool check(MessageService& messages, QWidget* parent, const std::string& item) const;

  private:
    std::vector<std::string> missing_;
    QWidget* first_ = nullptr;
};

}  // namespace kambrix
