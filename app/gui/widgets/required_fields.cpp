// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/required_fields.h"

#include <QLineEdit>

#include "gui/widgets/message_service.h"
#include "gui/widgets/number_box.h"
#include "shell/services.h"

namespace kambrix {

RequiredFields& RequiredFields::need(bool given, const std::string& what, QWidget* focus) {
    if (!given) {
        missing_.push_back(what);
        if (first_ == nullptr) {
            first_ = focus;
        }
    }
    return *this;
}

RequiredFields& RequiredFields::need(QLineEdit* box, const std::string& what) {
    return need(!isBlank(box->text().toStdString()), what, box);
}

RequiredFields& RequiredFields::need(const NumberBox* box) {
    return need(!box->isBlank(), box->what().toStdString(), box->box());
}

std::string RequiredFields::message(const std::string& item) const {
    if (missing_.empty()) {
        return {};
    }
    const std::string requirement = requirementMessage(missing_);
    return item.empty() ? requirement : incompleteMessage(item) + ". " + requirement;
}

bool RequiredFields::check(MessageService& messages, QWidget* parent,
                           const std::string& item) const {
    if (missing_.empty()) {
        return true;
    }
    messages.showMessage(parent, QString::fromStdString(message(item)));
    if (first_ != nullptr) {
        first_->setFocus();
    }
    return false;
}

}  // namespace kambrix
