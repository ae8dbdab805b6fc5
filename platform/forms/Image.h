#pragma once
// The windowless Image: a picture painted by its container, stretched to
// the control or at its own size.

#include "platform/forms/Control.h"

#include <QPixmap>

namespace plat {

class Image : public Control {
public:
    Image(Container& container, QString name, int index = -1);

    Prop<bool> Stretch{this, Aspect::Look, false};
    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);  // without Stretch the control takes the picture's size

    void Paint(QPainter& painter) const override;

private:
    QPixmap picture_;
};

}  // namespace plat
