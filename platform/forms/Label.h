#pragma once
// The windowless Label: a caption painted by its container.

#include "platform/forms/Colors.h"
#include "platform/forms/Control.h"

namespace plat {

enum Alignment : int { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };

class Label : public Control {
public:
    Label(Container& container, QString name, int index = -1);

    Prop<QString> Caption{this, Aspect::Text};
    Prop<int32_t> ForeColor{this, Aspect::Look, vbButtonText};
    Prop<int32_t> BackColor{this, Aspect::Look, vbButtonFace};
    Prop<int> BackStyle{this, Aspect::Look, 1};
    Prop<int> Alignment{this, Aspect::Look, vbLeftJustify};
    Prop<bool> WordWrap{this, Aspect::Look, false};

    void Paint(QPainter& painter) const override;
};

}  // namespace plat
