#include "platform/forms/Label.h"

#include "platform/forms/Twips.h"

#include <QPainter>

namespace plat {

Label::Label(Container& container, QString name, int index)
    : Control(container, ControlKind::Windowless, std::move(name), index)
{
}

void Label::Paint(QPainter& painter) const
{
    const QRectF r = PixelRect(Left, Top, Width, Height);
    painter.save();
    if (BackStyle == 1)
        painter.fillRect(r, ToQColor(BackColor));
    painter.setPen(ToQColor(ForeColor));
    painter.setFont(Font());
    int flags = Qt::AlignTop | Qt::TextWordWrap;
    flags |= Alignment == vbCenter ? Qt::AlignHCenter : Alignment == vbRightJustify ? Qt::AlignRight : Qt::AlignLeft;
    // An ampersand marks the access key; it is not shown.
    QString text = Caption.Get();
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    painter.drawText(r, flags, text);
    painter.restore();
}

}  // namespace plat
