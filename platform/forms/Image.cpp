#include "platform/forms/Image.h"

#include "platform/forms/Twips.h"

#include <QPainter>

namespace plat {

Image::Image(Container& container, QString name, int index)
    : Control(container, ControlKind::Windowless, std::move(name), index)
{
}

void Image::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    if (!Stretch && !picture_.isNull()) {
        Width = ToTwips(picture_.width());
        Height = ToTwips(picture_.height());
    }
    Invalidate();
}

void Image::Paint(QPainter& painter) const
{
    if (picture_.isNull())
        return;
    const QRectF r = PixelRect(Left, Top, Width, Height);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (Stretch)
        painter.drawPixmap(r, picture_, QRectF(picture_.rect()));
    else
        painter.drawPixmap(r.topLeft(), picture_);
    painter.restore();
}

}  // namespace plat
