#include "platform/forms/FormWindow.h"

#include "platform/forms/Form.h"
#include "platform/forms/Twips.h"
#include "platform/runtime/Errors.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

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

FormWindow::FormWindow(Form& form) : QWidget(nullptr), form_(form)
{
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    menuBar_->setFixedHeight(MenuBarPixels());
    menuBar_->hide();
    layout_->addWidget(menuBar_);
    surface_ = new FormSurface(form, this);
    layout_->addWidget(surface_, 1);
    qApp->installEventFilter(this);
}

FormWindow::~FormWindow()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

int FormWindow::MenuBarPixels() const
{
    return ToPixelsRounded(Form::MenuBarHeight);
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
    const int menu = menuBar_->isVisible() ? MenuBarPixels() : 0;
    form_.WindowResized(event->size().width(), event->size().height() - menu);
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

void FormWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
}

void FormWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    // A key travels up the parent chain; take it once, at the focus widget
    // (or at the window itself when nothing inside has the focus).
    QWidget* focus = QApplication::focusWidget();
    if (focus ? widget != focus : widget != this)
        return false;
    return form_.HandleKey(static_cast<QKeyEvent&>(*event), widget);
}

}  // namespace plat
