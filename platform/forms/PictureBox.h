#pragma once
// The picture box: a windowed container that paints its own windowless
// controls and keeps what is drawn on it (circles, lines, boxes) until Cls.

#include "platform/forms/Container.h"
#include "platform/forms/WindowedControl.h"

#include <QImage>
#include <QPixmap>

class QMouseEvent;

namespace plat {

enum ScaleMode : int { vbTwips = 1, vbPixels = 3 };

class PictureBox : public WindowedControl, public Container {
public:
    PictureBox(Container& container, QString name, int index = -1);
    ~PictureBox() override;

    Prop<int32_t> BackColor{this, Aspect::Look, static_cast<int32_t>(0x8000000F)};
    Prop<int32_t> ForeColor{this, Aspect::Look, static_cast<int32_t>(0x80000012)};
    Prop<int> BorderStyle{this, Aspect::Geometry, 1};  // 0 none, 1 fixed single
    Prop<int> ScaleMode{this, Aspect::Geometry, vbTwips};
    Prop<int> DrawWidth{this, Aspect::Look, 1};
    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);

    // Inner area in scale units.
    float ScaleWidth() const;
    float ScaleHeight() const;

    // Drawing in scale units; figures stay until Cls.
    void Circle(float x, float y, float radius, int32_t color);
    void Line(float x1, float y1, float x2, float y2, int32_t color, bool box = false, bool filled = false);
    void Cls();
    int FiguresDrawn() const { return figures_; }  // since the last Cls
    const QImage& Drawing() const { return drawing_; }

    QWidget* Surface() const override { return Widget(); }
    Form& ContainerForm() override { return OwnerForm(); }

    void PaintContents(class QPainter& painter, const QRect& area);
    void MousePressed(const QMouseEvent& event);
    void MouseReleased(const QMouseEvent& event);

protected:
    void Apply(Aspect aspect) override;

private:
    float BorderPixels() const;
    double ScaleToPixels(float v) const;
    void EnsureDrawing();

    QPixmap picture_;
    QImage drawing_;
    int figures_ = 0;
};

}  // namespace plat
