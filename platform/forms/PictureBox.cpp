#include "platform/forms/PictureBox.h"

#include "platform/forms/Colors.h"
#include "platform/forms/Twips.h"
#include "platform/runtime/Errors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace plat {

namespace {
class PictureWidget : public QWidget {
public:
    PictureWidget(PictureBox& box, QWidget* parent) : QWidget(parent), box_(box)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        box_.PaintContents(painter, event->rect());
    }
    void mousePressEvent(QMouseEvent* event) override { box_.MousePressed(*event); }
    void mouseReleaseEvent(QMouseEvent* event) override { box_.MouseReleased(*event); }

private:
    PictureBox& box_;
};
}  // namespace

PictureBox::PictureBox(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index)
{
    auto* widget = new PictureWidget(*this, ParentWidget());
    widget->setFocusPolicy(Qt::NoFocus);
    Attach(widget);
}

PictureBox::~PictureBox() = default;

float PictureBox::BorderPixels() const
{
    return BorderStyle ? 2.0f : 0.0f;
}

float PictureBox::ScaleWidth() const
{
    const float inner = Width - 2 * ToTwips(BorderPixels());
    return ScaleMode == vbPixels ? inner / TwipsPerPixel : inner;
}

float PictureBox::ScaleHeight() const
{
    const float inner = Height - 2 * ToTwips(BorderPixels());
    return ScaleMode == vbPixels ? inner / TwipsPerPixel : inner;
}

double PictureBox::ScaleToPixels(float v) const
{
    return ScaleMode == vbPixels ? v : v / TwipsPerPixel;
}

void PictureBox::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    if (Widget())
        Widget()->update();
}

void PictureBox::EnsureDrawing()
{
    QWidget* w = Widget();
    const QSize size = w ? w->size().expandedTo(QSize(1, 1)) : QSize(1, 1);
    if (drawing_.size() == size)
        return;
    QImage grown(size, QImage::Format_ARGB32_Premultiplied);
    grown.fill(Qt::transparent);
    if (!drawing_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, drawing_);
    }
    drawing_ = grown;
}

void PictureBox::Circle(float x, float y, float radius, int32_t color)
{
    EnsureDrawing();
    QPainter p(&drawing_);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(ToQColor(color));
    pen.setWidth(DrawWidth);
    p.setPen(pen);
    const double r = ScaleToPixels(radius);
    p.drawEllipse(QPointF(ScaleToPixels(x), ScaleToPixels(y)), r, r);
    ++figures_;
    if (Widget())
        Widget()->update();
}

void PictureBox::Line(float x1, float y1, float x2, float y2, int32_t color, bool box, bool filled)
{
    EnsureDrawing();
    QPainter p(&drawing_);
    QPen pen(ToQColor(color));
    pen.setWidth(DrawWidth);
    p.setPen(pen);
    const QPointF a(ScaleToPixels(x1), ScaleToPixels(y1));
    const QPointF b(ScaleToPixels(x2), ScaleToPixels(y2));
    if (box) {
        const QRectF r = QRectF(a, b).normalized();
        if (filled)
            p.fillRect(r, ToQColor(color));
        else
            p.drawRect(r);
    } else {
        p.drawLine(a, b);
    }
    ++figures_;
    if (Widget())
        Widget()->update();
}

void PictureBox::Cls()
{
    drawing_.fill(Qt::transparent);
    figures_ = 0;
    if (Widget())
        Widget()->update();
}

void PictureBox::PaintContents(QPainter& painter, const QRect& area)
{
    QWidget* w = Widget();
    painter.fillRect(area, ToQColor(BackColor));
    const float b = BorderPixels();
    painter.save();
    painter.translate(b, b);
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
    if (!drawing_.isNull())
        painter.drawImage(0, 0, drawing_);
    PaintWindowless(painter, area.translated(-static_cast<int>(b), -static_cast<int>(b)));
    painter.restore();
    if (b > 0 && w) {
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(QRectF(0.5, 0.5, w->width() - 1, w->height() - 1));
        painter.setPen(QColor(64, 64, 64));
        painter.drawRect(QRectF(1.5, 1.5, w->width() - 3, w->height() - 3));
    }
}

// Its windowless controls are placed inside the border.
void PictureBox::MousePressed(const QMouseEvent& event)
{
    MousePress(event, QPointF(BorderPixels(), BorderPixels()));
}

// A click that no windowless control took is the box's own.
void PictureBox::MouseReleased(const QMouseEvent& event)
{
    if (MouseRelease(event, QPointF(BorderPixels(), BorderPixels())))
        return;
    QWidget* w = Widget();
    if (w && w->rect().contains(event.position().toPoint()) && Click)
        Guard(Click);
}

void PictureBox::Apply(Aspect aspect)
{
    WindowedControl::Apply(aspect);
    if (Widget())
        Widget()->update();
}

}  // namespace plat
