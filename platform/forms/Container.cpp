#include "platform/forms/Container.h"

#include "platform/forms/Control.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace plat {

void Container::Add(Control* control)
{
    // Windowless() is virtual and not usable while the control is still being
    // constructed, so every control starts in the list; windowed ones are
    // dropped from it on first sight by the helpers below.
    windowless_.push_back(control);
}

void Container::Remove(Control* control)
{
    std::erase(windowless_, control);
}

void Container::BringToFront(Control* control)
{
    std::erase(windowless_, control);
    windowless_.push_back(control);
}

void Container::SendToBack(Control* control)
{
    std::erase(windowless_, control);
    windowless_.insert(windowless_.begin(), control);
}

void Container::InvalidatePixels(const QRectF& rect)
{
    if (QWidget* surface = Surface(); surface && surface->isVisible())
        surface->update(rect.toAlignedRect());
}

void Container::PaintWindowless(QPainter& painter, const QRect& area) const
{
    for (const Control* control : windowless_) {
        if (!control->Windowless() || !control->Visible)
            continue;
        const QRectF r(control->Left / 15.0, control->Top / 15.0, control->Width / 15.0, control->Height / 15.0);
        if (!r.adjusted(-2, -2, 2, 2).intersects(area))
            continue;
        control->Paint(painter);
    }
}

Control* Container::WindowlessAt(double x, double y) const
{
    for (auto it = windowless_.rbegin(); it != windowless_.rend(); ++it) {
        Control* c = *it;
        if (!c->Windowless() || !c->Visible)
            continue;
        const QRectF r(c->Left / 15.0, c->Top / 15.0, c->Width / 15.0, c->Height / 15.0);
        if (r.contains(x, y))
            return c;
    }
    return nullptr;
}

}  // namespace plat
