#pragma once
// Something that holds controls: a form or a picture box. It paints its
// windowless controls in z-order in one pass and routes mouse presses to
// the topmost one under the pointer.

#include <QRect>
#include <QRectF>
#include <vector>

class QPainter;
class QWidget;

namespace plat {

class Control;
class Form;

class Container {
public:
    virtual ~Container() = default;
    virtual QWidget* Surface() const = 0;  // widget that windowed children sit on
    virtual Form& ContainerForm() = 0;

    void Add(Control* control);
    void Remove(Control* control);
    void BringToFront(Control* control);
    void SendToBack(Control* control);
    const std::vector<Control*>& Windowless() const { return windowless_; }

    // Schedules a repaint of a pixel rectangle of the surface.
    void InvalidatePixels(const QRectF& rect);
    void PaintWindowless(QPainter& painter, const QRect& area) const;
    Control* WindowlessAt(double xPixels, double yPixels) const;

private:
    std::vector<Control*> windowless_;  // back to front
};

}  // namespace plat
