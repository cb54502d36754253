// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/picture_label.h"

#include <QResizeEvent>

namespace kambrix {

namespace {

constexpr QSize kHint(560, 420);
constexpr QSize kMinimum(160, 120);

}  // namespace

PictureLabel::PictureLabel(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void PictureLabel::setPicture(const QPixmap& picture) {
    picture_ = picture;
    rescale();
}

QSize PictureLabel::sizeHint() const {
    return kHint;
}

QSize PictureLabel::minimumSizeHint() const {
    return kMinimum;
}

void PictureLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    rescale();
}

void PictureLabel::rescale() {
    if (picture_.isNull()) {
        clear();
        return;
    }
    const QSize room = size().isEmpty() ? kHint : size();
    setPixmap(picture_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace kambrix
