// SPDX-License-Identifier: GPL-3.0-or-later
//
// A picture that scales with the room it is given, keeping its proportions, instead of
// forcing its own size on the window.
#pragma once

#include <QLabel>
#include <QPixmap>

namespace kambrix {

class PictureLabel : public QLabel {
  public:
    explicit PictureLabel(QWidget* parent = nullptr);
    void setPicture(const QPixmap& picture);
    bool hasPicture() const { return !picture_.isNull(); }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void rescale();
    QPixmap picture_;
};

}  // namespace kambrix
