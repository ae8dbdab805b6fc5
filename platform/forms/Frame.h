#pragma once
// The frame: a windowed container with a caption on its border. Controls
// placed in it are positioned from its top-left corner, under the caption,
// and option buttons in it form a group of their own.

#include "platform/forms/Colors.h"
#include "platform/forms/Container.h"
#include "platform/forms/WindowedControl.h"

class QPainter;

namespace plat {

class Frame : public WindowedControl, public Container {
public:
    Frame(Container& container, QString name, int index = -1);
    ~Frame() override;

    Prop<QString> Caption{this, Aspect::Text};
    Prop<int32_t> BackColor{this, Aspect::Look, vbButtonFace};

    QWidget* Surface() const override { return Widget(); }
    Form& ContainerForm() override { return OwnerForm(); }

    void PaintContents(QPainter& painter, const QRect& area);

protected:
    void Apply(Aspect aspect) override;
};

}  // namespace plat
