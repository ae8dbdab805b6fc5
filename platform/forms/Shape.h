#pragma once
// The windowless Shape: a rectangle, square, oval, circle or rounded figure
// with its own fill, back and border.

#include "platform/forms/Control.h"

namespace plat {

enum ShapeStyle : int { vbShapeRectangle = 0, vbShapeSquare = 1, vbShapeOval = 2, vbShapeCircle = 3,
                        vbShapeRoundedRectangle = 4, vbShapeRoundedSquare = 5 };
enum FillStyle : int { vbFSSolid = 0, vbFSTransparent = 1 };
enum BackStyle : int { vbTransparent = 0, vbOpaque = 1 };
enum BorderStyle : int { vbBSNone = 0, vbBSSolid = 1, vbBSInsideSolid = 6 };

// Named ShapeControl so that its "Shape" property can keep its name.
class ShapeControl : public Control {
public:
    ShapeControl(Container& container, QString name, int index = -1);

    Prop<int> Shape{this, Aspect::Look, vbShapeRectangle};
    Prop<int> BackStyle{this, Aspect::Look, vbTransparent};
    Prop<int32_t> BackColor{this, Aspect::Look, 0xFFFFFF};
    Prop<int> FillStyle{this, Aspect::Look, vbFSTransparent};
    Prop<int32_t> FillColor{this, Aspect::Look, 0};
    Prop<int32_t> BorderColor{this, Aspect::Look, 0};
    Prop<int> BorderStyle{this, Aspect::Look, vbBSSolid};
    Prop<int> BorderWidth{this, Aspect::Look, 1};

    void Paint(QPainter& painter) const override;
    // A drawing only: it raises no mouse events, and clicks reach what lies beneath.
    bool TakesMouse() const override { return false; }
};

}  // namespace plat
