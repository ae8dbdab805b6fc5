#pragma once
// Something that holds controls: a form, a frame or a picture box. It paints
// its windowless controls in z-order in one pass, and mouse input on its
// surface reaches the topmost one under the pointer.

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <vector>

class QMouseEvent;
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

    // A control's one registration: with the form, and for a windowless
    // one in this container's painting order, in front of the others.
    void Add(Control* control);
    void Remove(Control* control);
    // Move a windowless control to the front or back of the painting order.
    // Windowed controls are not in that order: Control::ZOrder raises or
    // lowers their widgets instead of calling these.
    void BringToFront(Control* control);
    void SendToBack(Control* control);
    const std::vector<Control*>& Windowless() const { return windowless_; }

    // Schedules a repaint of a pixel rectangle of the surface.
    void InvalidatePixels(const QRectF& rect);
    void PaintWindowless(QPainter& painter, const QRect& area) const;
    // The topmost visible windowless control under a point that takes the mouse.
    Control* WindowlessAt(double xPixels, double yPixels) const;

    // Mouse input on the surface, whose windowless controls are placed from
    // `origin` (pixels). A press raises MouseDown of the topmost visible
    // windowless control under the pointer; the release over that same
    // control raises its Click. MouseRelease says whether a control took it.
    void MousePress(const QMouseEvent& event, QPointF origin = {});
    bool MouseRelease(const QMouseEvent& event, QPointF origin = {});

private:
    std::vector<Control*> windowless_;  // back to front
    Control* pressed_ = nullptr;        // took the press that is still down
};

}  // namespace plat
