#include "platform/forms/Frame.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace plat {

namespace {
// Drawn here rather than by the widget style, which on some desktops leaves
// a group's border all but invisible: an etched line round the frame, broken
// at the top by the caption.
class FrameWidget : public QWidget {
public:
    FrameWidget(Frame& frame, QWidget* parent) : QWidget(parent), frame_(frame)
    {
        // It paints all of itself, so what lies beneath it is never redrawn
        // (nor the form's Paint raised) when something inside it changes.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), ToQColor(frame_.BackColor));

        // An ampersand marks the access key; it is not shown.
        QString caption = frame_.Caption.Get();
        caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
        caption.remove(u'&');
        caption.replace(u'\x01', u'&');

        const QFontMetrics metrics(font());
        const int top = metrics.height() / 2;
        const QRect line(0, top, width() - 2, height() - top - 2);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(line);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(line.translated(1, 1));

        if (!caption.isEmpty()) {
            const int textWidth = std::min(metrics.horizontalAdvance(caption), width() - 12);
            const QRect text(6, 0, textWidth + 4, metrics.height());
            painter.fillRect(text, ToQColor(frame_.BackColor));
            painter.setPen(isEnabled() ? palette().color(QPalette::WindowText)
                                       : palette().color(QPalette::Disabled, QPalette::WindowText));
            painter.drawText(text.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, caption);
        }
        frame_.PaintContents(painter, event->rect());
    }
    // Taken here, so that a press on the frame never reaches what the form
    // has beneath it.
    void mousePressEvent(QMouseEvent* event) override { frame_.MousePress(*event); }
    void mouseReleaseEvent(QMouseEvent* event) override { frame_.MouseRelease(*event); }

private:
    Frame& frame_;
};
}  // namespace

Frame::Frame(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index)
{
    TabStop = false;  // the focus goes to the controls inside
    auto* widget = new FrameWidget(*this, ParentWidget());
    widget->setFocusPolicy(Qt::NoFocus);
    Attach(widget);
}

Frame::~Frame() = default;

void Frame::PaintContents(QPainter& painter, const QRect& area)
{
    PaintWindowless(painter, area);
}

void Frame::Apply(Aspect aspect)
{
    WindowedControl::Apply(aspect);
    if (QWidget* w = Widget())
        w->update();
}

}  // namespace plat
