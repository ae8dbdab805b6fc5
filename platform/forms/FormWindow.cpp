#include "platform/forms/FormWindow.h"

#include "platform/forms/Form.h"
#include "platform/forms/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>
#include <QWindow>
#include <vector>

namespace plat {

FormSurface::FormSurface(Form& form, QWidget* parent) : QWidget(parent), form_(form)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormSurface::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    form_.PaintSurface(painter, event->rect());
}

void FormSurface::mousePressEvent(QMouseEvent* event)
{
    form_.MousePress(*event);
}

void FormSurface::mouseReleaseEvent(QMouseEvent* event)
{
    form_.MouseRelease(*event);
}

// One filter for the whole application: the keys typed into form windows
// and the exposures of form windows. It only compares what it watches with
// what it knows and never casts it, for a widget that is being destroyed
// still receives events after its own part of it is gone.
class FormEvents : public QObject {
public:
    static void Watch(FormWindow* window)
    {
        if (!instance_) {
            instance_ = new FormEvents(qApp);  // goes with the application
            qApp->installEventFilter(instance_);
        }
        instance_->windows_.push_back(window);
    }
    static void Forget(FormWindow* window)
    {
        if (instance_)
            std::erase(instance_->windows_, window);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            // A key travels up the parent chain; take it once, where it
            // starts: at the focus widget, or at a form's window itself
            // when nothing has the focus.
            QWidget* focus = QApplication::focusWidget();
            FormWindow* window = focus ? (watched == focus ? Known(focus->window()) : nullptr) : Known(watched);
            return window && window->KeyTyped(static_cast<QKeyEvent&>(*event), focus ? focus : window);
        }
        if (event->type() == QEvent::Expose) {
            for (FormWindow* window : windows_)
                if (watched == window->windowHandle())
                    window->Exposed();
        }
        return false;
    }

private:
    using QObject::QObject;
    FormWindow* Known(const QObject* object) const
    {
        for (FormWindow* window : windows_)
            if (window == object)
                return window;
        return nullptr;
    }

    static inline QPointer<FormEvents> instance_;
    std::vector<FormWindow*> windows_;
};

FormWindow::FormWindow(Form& form) : QWidget(nullptr), form_(form)
{
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    // The form's Width and Height size the window, however small: a minimum
    // from the layout would resize it behind the form's back (and a window
    // resized while minimised is restored).
    layout_->setSizeConstraint(QLayout::SetNoConstraint);
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    menuBar_->setFixedHeight(MenuBarPixels());
    menuBar_->hide();
    layout_->addWidget(menuBar_);
    surface_ = new FormSurface(form, this);
    layout_->addWidget(surface_, 1);
    FormEvents::Watch(this);
}

FormWindow::~FormWindow()
{
    FormEvents::Forget(this);
}

int FormWindow::MenuBarPixels() const
{
    return ToPixelsRounded(Form::MenuBarHeight);
}

int FormWindow::MenuBarShare() const
{
    return menuBar_->isHidden() ? 0 : MenuBarPixels();
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    if (form_.CloseByUser())
        event->accept();
    else
        event->ignore();
}

void FormWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    form_.WindowResized(event->size().width(), event->size().height() - MenuBarShare());
}

void FormWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    const QPoint p = pos();  // the position move() sets: frame included
    form_.WindowMoved(p.x(), p.y());
}

void FormWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates s = windowState();
        form_.WindowStateChanged((s & Qt::WindowMinimized) ? vbMinimized : (s & Qt::WindowMaximized) ? vbMaximized : vbNormal);
    }
}

void FormWindow::ShowIn(int state)
{
    if (isHidden()) {
        // A window the user closed keeps its toolkit window but not the
        // native one, and a native window made again would take over the
        // state remembered there without the window manager hearing of it
        // (a minimised one would open normal): forget it, the show sets it.
        if (QWindow* handle = windowHandle(); handle && !handle->handle()) {
            handle->setWindowStates(Qt::WindowNoState);
            overrideWindowState(Qt::WindowNoState);
        }
    }
    switch (state) {
    case vbMinimized: showMinimized(); break;
    case vbMaximized: showMaximized(); break;
    default: showNormal(); break;
    }
}

void FormWindow::PlaceFrameAt(QPoint corner)
{
    // A hidden window shown before knows its frame: place its client area by
    // it at once. The toolkit would do so only while showing it, after the
    // state is set, and a window moved then is no longer minimised or
    // maximised.
    const QPoint frame = geometry().topLeft() - frameGeometry().topLeft();
    if (isHidden() && !frame.isNull())
        setGeometry(QRect(corner + frame, size()));
    else
        move(corner);
}

bool FormWindow::KeyTyped(QKeyEvent& event, QWidget* receiver)
{
    return form_.HandleKey(event, receiver);
}

void FormWindow::Exposed()
{
    // Painting the surface again raises Paint for the form's own area; the
    // toolkit adds this to the repaint it was about to make, if any.
    if (windowHandle()->isExposed())
        surface_->update();
}

}  // namespace plat
