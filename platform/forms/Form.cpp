#include "platform/forms/Form.h"

#include "platform/forms/Aligned.h"
#include "platform/forms/Colors.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Control.h"
#include "platform/forms/FormWindow.h"
#include "platform/forms/Keys.h"
#include "platform/forms/Menu.h"
#include "platform/forms/Move.h"
#include "platform/forms/Timer.h"
#include "platform/forms/Twips.h"
#include "platform/runtime/Errors.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <algorithm>

namespace plat {

namespace {
Form::PopupMenuHandler& PopupHandler()
{
    static Form::PopupMenuHandler handler;
    return handler;
}

Control* ControlOfWidget(QWidget* widget, QWidget* window)
{
    for (QWidget* w = widget; w && w != window; w = w->parentWidget()) {
        const QVariant v = w->property("platControl");
        if (v.isValid())
            return static_cast<Control*>(v.value<void*>());
    }
    return nullptr;
}
}  // namespace

Form::Form(QString name) : name_(std::move(name)), window_(std::make_unique<FormWindow>(*this))
{
    window_->setObjectName(name_);
    ApplyGeometry();
}

Form::~Form()
{
    // Controls are members of the derived form and are gone by now; the
    // window and its widgets go with it.
    if (modalLoop_)
        modalLoop_->quit();
}

QWidget* Form::Surface() const
{
    return window_->Surface();
}

QWidget* Form::Window() const
{
    return window_.get();
}

bool Form::IsVisible() const
{
    return window_->isVisible();
}

void Form::RegisterControl(Control* control)
{
    controls_.push_back(control);
}

void Form::UnregisterControl(Control* control)
{
    std::erase(controls_, control);
}

void Form::RegisterTimer(Timer* timer)
{
    timers_.push_back(timer);
}

void Form::UnregisterTimer(Timer* timer)
{
    std::erase(timers_, timer);
}

void Form::RegisterMenu(Menu* menu)
{
    menus_.push_back(menu);
    MenusChanged();
}

bool Form::HasMenuBar() const
{
    return std::any_of(menus_.begin(), menus_.end(), [](const Menu* m) { return m->Visible.Get(); });
}

void Form::MenusChanged()
{
    QMenuBar* bar = window_->MenuBar();
    const bool hadBar = !bar->isHidden();
    bar->clear();
    for (Menu* menu : menus_) {
        if (!menu->Visible)
            continue;
        if (menu->Items().empty()) {
            QAction* action = bar->addAction(menu->Caption.Get());
            action->setEnabled(menu->Enabled);
            QObject::connect(action, &QAction::triggered, [menu] { menu->RaiseClick(); });
        } else {
            QMenu* sub = bar->addMenu(menu->Caption.Get());
            sub->setEnabled(menu->Enabled);
            menu->Populate(*sub);
        }
    }
    const bool hasBar = HasMenuBar();
    bar->setVisible(hasBar);
    if (hasBar != hadBar)
        ApplyGeometry();
}

// ---- life cycle ---------------------------------------------------------

void Form::Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    shownSinceLoad_ = false;
    loading_ = true;
    try {
        Design();
        for (Timer* t : timers_)
            t->Update();
        Form_Load();
    } catch (...) {
        loading_ = false;
        throw;
    }
    loading_ = false;
}

void Form::Show(int modal)
{
    Load();
    if (!loaded_)
        return;  // the load unloaded the form again
    ApplyFlags();
    if (!shownSinceLoad_ && StartUpPosition == vbStartUpScreen) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            Left = ToTwips(area.center().x()) - Width / 2;
            Top = ToTwips(area.center().y()) - Height / 2;
        }
    }
    window_->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    if (WindowState == vbNormal)
        ApplyGeometry();
    window_->ShowIn(WindowState);
    ZOrder(0);
    if (!shownSinceLoad_) {
        shownSinceLoad_ = true;
        // The form hears of its size when it is first shown, as it hears of
        // every change after.
        Guard([this] { Form_Resize(); });
        FocusFirstControl();
    }
    if (modal) {
        QEventLoop loop;
        modalLoop_ = &loop;
        loop.exec();
        modalLoop_ = nullptr;
        window_->setWindowModality(Qt::NonModal);
    }
}

void Form::Hide()
{
    window_->hide();
    if (modalLoop_)
        modalLoop_->quit();
}

bool Form::Unload()
{
    return RunUnload(vbFormCode);
}

bool Form::CloseByUser()
{
    bool unloaded = false;
    Guard([&] { unloaded = RunUnload(vbFormControlMenu); });
    return unloaded;
}

bool Form::RunUnload(int16_t mode)
{
    if (!loaded_) {
        window_->hide();
        return true;
    }
    int16_t cancel = 0;
    Form_QueryUnload(cancel, mode);
    if (cancel)
        return false;
    Form_Unload(cancel);
    if (cancel)
        return false;
    FinishUnload();
    return true;
}

void Form::FinishUnload()
{
    loaded_ = false;
    shownSinceLoad_ = false;
    for (Timer* t : timers_)
        t->Stop();
    window_->hide();
    if (modalLoop_)
        modalLoop_->quit();
}

void Form::FocusFirstControl()
{
    Control* best = nullptr;
    for (Control* c : controls_) {
        QWidget* w = c->Widget();
        if (!w || !c->Visible || !c->Enabled || !c->TabStop || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (!best || c->TabIndex < best->TabIndex)
            best = c;
    }
    if (best)
        best->SetFocus();
    else
        window_->Surface()->setFocus(Qt::OtherFocusReason);
}

// ---- properties ---------------------------------------------------------

void Form::PropertyChanged(Aspect aspect)
{
    switch (aspect) {
    case Aspect::Text:
        window_->setWindowTitle(Caption.Get());
        break;
    case Aspect::Geometry: {
        ApplyGeometry();
        // A loaded window resized by code hears of it at once, hidden or
        // shown (the window system's report of a shown one comes inside
        // ApplyGeometry and is not passed on); its own load lays it out
        // itself. A shown minimised or maximised window keeps its size.
        const bool resized = Width != resizedWidth_ || Height != resizedHeight_;
        resizedWidth_ = Width;
        resizedHeight_ = Height;
        if (resized && loaded_ && !loading_ && (!window_->isVisible() || WindowState == vbNormal))
            Guard([this] { Form_Resize(); });
        break;
    }
    case Aspect::State:
        if (window_->isVisible()) {
            const int s = WindowState;
            window_->setWindowState(s == vbMinimized ? Qt::WindowMinimized : s == vbMaximized ? Qt::WindowMaximized : Qt::WindowNoState);
            if (s == vbNormal)
                ApplyGeometry();
        }
        break;
    default:
        window_->Surface()->update();
        break;
    }
}

void Form::ApplyFlags()
{
    if (window_->isVisible())
        return;  // changing flags would hide the window
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    const int border = BorderStyle;
    if (border == vbBSNoneForm)
        flags = Qt::Window | Qt::FramelessWindowHint;
    else if (border == vbFixedDialog)
        flags |= Qt::Dialog;
    if (border == vbSizable || border == vbFixedSingle) {
        if (MinButton)
            flags |= Qt::WindowMinimizeButtonHint;
        if (MaxButton && border == vbSizable)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    if (!ShowInTaskbar)
        flags |= Qt::Tool;
    window_->setWindowFlags(flags);
    ApplyGeometry();
}

void Form::ApplyGeometry()
{
    if (WindowState != vbNormal && window_->isVisible())
        return;  // a minimised or maximised window keeps its size; the values apply on restore
    applyingGeometry_ = true;
    const int menu = HasMenuBar() ? window_->MenuBarPixels() : 0;
    const int clientW = std::max(1, ToPixelsRounded(Width - FrameWidth));
    const int clientH = std::max(1, ToPixelsRounded(Height - FrameHeight - (menu ? MenuBarHeight : 0)));
    const bool fixed = BorderStyle != vbSizable;
    if (fixed)
        window_->setFixedSize(clientW, clientH + menu);
    else {
        window_->setMinimumSize(0, 0);
        window_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_->resize(clientW, clientH + menu);
    }
    window_->PlaceFrameAt(QPoint(ToPixelsRounded(Left), ToPixelsRounded(Top)));
    applyingGeometry_ = false;
    ArrangeAligned();
}

void Form::ArrangeAligned()
{
    float top = ScaleTop();
    float bottom = ScaleTop() + ScaleHeight();
    for (Control* c : controls_) {
        auto* aligned = dynamic_cast<AlignedControl*>(c);
        if (!aligned || &c->Parent() != this)
            continue;
        if (aligned->Align() == vbAlignTop) {
            c->Move(ScaleLeft(), top, ScaleWidth());
            top += c->Height;
        } else if (aligned->Align() == vbAlignBottom) {
            bottom -= c->Height;
            c->Move(ScaleLeft(), bottom, ScaleWidth());
        }
    }
}

float Form::ScaleWidth() const
{
    return Width - FrameWidth;
}

float Form::ScaleHeight() const
{
    return Height - FrameHeight - (HasMenuBar() ? MenuBarHeight : 0);
}

void Form::SetClientSize(float width, float height)
{
    Width = width + FrameWidth;
    Height = height + FrameHeight + (HasMenuBar() ? MenuBarHeight : 0);
}

void Form::Move(float left, float top, float width, float height)
{
    MoveObject(*this, left, top, width, height);
}

void Form::ZOrder(int position)
{
    if (position == 0) {
        // A window shown minimised stays minimised: bringing it forward
        // would have the window manager restore it.
        if (WindowState == vbMinimized && window_->isVisible())
            return;
        window_->raise();
        window_->activateWindow();
    } else {
        window_->lower();
    }
}

void Form::SetFocus()
{
    window_->activateWindow();
    window_->Surface()->setFocus(Qt::OtherFocusReason);
}

void Form::Refresh()
{
    window_->Surface()->update();
}

void Form::SetIcon(const QIcon& icon)
{
    icon_ = icon;
    window_->setWindowIcon(icon);
}

void Form::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    window_->Surface()->update();
}

void Form::PopupMenu(Menu& menu)
{
    if (PopupHandler()) {
        if (Menu* chosen = PopupHandler()(menu))
            chosen->RaiseClick();
        return;
    }
    QMenu popup(window_.get());
    menu.Populate(popup);
    popup.exec(QCursor::pos());
}

void Form::SetPopupMenuHandler(PopupMenuHandler handler)
{
    PopupHandler() = std::move(handler);
}

// ---- events from the window ---------------------------------------------

void Form::WindowResized(int clientWidthPx, int clientHeightPx)
{
    if (applyingGeometry_)
        return;
    const float menu = HasMenuBar() ? MenuBarHeight : 0;
    if (clientWidthPx != ToPixelsRounded(Width - FrameWidth))
        Width.Sync(ToTwips(clientWidthPx) + FrameWidth);
    if (clientHeightPx != ToPixelsRounded(Height - FrameHeight - menu))
        Height.Sync(ToTwips(clientHeightPx) + FrameHeight + menu);
    resizedWidth_ = Width;  // so that code sizing it back is a resize too
    resizedHeight_ = Height;
    ArrangeAligned();
    if (loaded_ && window_->isVisible())
        Guard([this] { Form_Resize(); });
}

void Form::WindowMoved(int xPx, int yPx)
{
    if (applyingGeometry_ || WindowState != vbNormal)
        return;
    if (xPx != ToPixelsRounded(Left))
        Left.Sync(ToTwips(xPx));
    if (yPx != ToPixelsRounded(Top))
        Top.Sync(ToTwips(yPx));
}

void Form::WindowStateChanged(int state)
{
    // A hidden window's state is the one code gave the form, applied when
    // it is shown.
    if (WindowState == state || !window_->isVisible())
        return;
    WindowState.Sync(state);
    if (loaded_)
        Guard([this] { Form_Resize(); });
}

bool Form::HandleKey(QKeyEvent& event, QWidget* receiver)
{
    const bool atForm = receiver == window_.get() || receiver == window_->Surface();
    Control* control = atForm ? nullptr : ControlOfWidget(receiver, window_.get());
    // On a form with a default button Enter presses the button that has the
    // focus, else the default one; Esc presses the cancel button. Neither
    // key reaches anything else then.
    if (CommandButton* button = DialogButton(event, control)) {
        button->PressByUser();
        return true;
    }
    int16_t code = KeyCodeOf(event);
    const int16_t shift = ShiftStateOf(event);
    bool swallow = false;
    if (code != 0 && (KeyPreview || atForm)) {
        Guard([&] { Form_KeyDown(code, shift); });
        swallow = code == 0;
    }
    if (!swallow && code != 0 && control && control->KeyDown) {
        Guard([&] { control->KeyDown(code, shift); });
        swallow = code == 0;
    }
    int16_t ascii = KeyAsciiOf(event);
    if (!swallow && ascii != 0 && (KeyPreview || atForm)) {
        Guard([&] { Form_KeyPress(ascii); });
        swallow = ascii == 0;
    }
    if (!swallow && ascii != 0 && control && control->KeyPress) {
        Guard([&] { control->KeyPress(ascii); });
        swallow = ascii == 0;
    }
    return swallow || atForm;
}

CommandButton* Form::DialogButton(const QKeyEvent& event, Control* focus) const
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    const bool escape = event.key() == Qt::Key_Escape;
    if ((!enter && !escape) || (event.modifiers() & ~Qt::KeypadModifier))
        return nullptr;
    CommandButton* found = nullptr;
    for (Control* c : controls_) {
        auto* button = dynamic_cast<CommandButton*>(c);
        if (button && (enter ? button->Default.Get() : button->Cancel.Get()) && button->Visible && button->Enabled) {
            found = button;
            break;
        }
    }
    if (found && enter)
        if (auto* focused = dynamic_cast<CommandButton*>(focus))
            return focused;
    return found;
}

void Form::PaintSurface(QPainter& painter, const QRect& area)
{
    painter.fillRect(area, ToQColor(BackColor));
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
    PaintWindowless(painter, area);
    // Paint is the form's own area being drawn again: a control redrawing
    // itself (a hovered button, a blinking cursor) does not raise it.
    QRegion uncovered(area);
    for (const QObject* child : window_->Surface()->children())
        if (auto* w = qobject_cast<const QWidget*>(child); w && w->isVisible())
            uncovered -= w->geometry();
    if (loaded_ && !uncovered.isEmpty())
        Guard([this] { Form_Paint(); });
}

}  // namespace plat
