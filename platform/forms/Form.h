#pragma once
// A form: a top-level window with the load / show / hide / unload life cycle,
// outer geometry and client (scale) area in twips, window state, menus, and
// the windowless controls it paints itself.
//
// Outer size = client size + fixed frame metrics (FrameWidth, FrameHeight,
// plus MenuBarHeight while a menu bar shows), so the client size follows
// from the outer size before the window is ever shown.

#include "platform/forms/Container.h"
#include "platform/forms/Property.h"

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QKeyEvent;
class QWidget;

namespace plat {

class CommandButton;
class Menu;
class Timer;
class FormWindow;

enum WindowState : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum UnloadMode : int { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2 };
enum FormBorderStyle : int { vbBSNoneForm = 0, vbFixedSingle = 1, vbSizable = 2, vbFixedDialog = 3 };
enum StartUpPosition : int { vbStartUpManual = 0, vbStartUpOwner = 1, vbStartUpScreen = 2, vbStartUpWindowsDefault = 3 };

class Form : public Container, public PropertyOwner {
public:
    static constexpr float FrameWidth = 60;     // twips the frame adds to the client width
    static constexpr float FrameHeight = 60;    // twips the frame adds to the client height
    static constexpr float MenuBarHeight = 300; // twips a visible menu bar adds

    explicit Form(QString name);
    virtual ~Form();

    const QString& Name() const { return name_; }

    // Life cycle. Load runs the design values and Form_Load once until the
    // next Unload; Show loads first when needed. A modal Show returns when
    // the form is hidden or unloaded. Unload returns false when cancelled.
    void Load();
    void Show(int modal = 0);
    void Hide();
    bool Unload();
    bool Loaded() const { return loaded_; }
    bool IsVisible() const;

    Prop<QString> Caption{this, Aspect::Text};
    Prop<int32_t> BackColor{this, Aspect::Look, static_cast<int32_t>(0x8000000F)};
    Prop<float> Left{this, Aspect::Geometry};
    Prop<float> Top{this, Aspect::Geometry};
    Prop<float> Width{this, Aspect::Geometry, 4800};
    Prop<float> Height{this, Aspect::Geometry, 3600};
    Prop<int> WindowState{this, Aspect::State, vbNormal};
    Prop<bool> KeyPreview{this, Aspect::State, false};
    Prop<int> BorderStyle{this, Aspect::Look, vbSizable};
    Prop<bool> MinButton{this, Aspect::Look, true};
    Prop<bool> MaxButton{this, Aspect::Look, true};
    Prop<bool> ShowInTaskbar{this, Aspect::Look, true};
    Prop<int> StartUpPosition{this, Aspect::State, vbStartUpWindowsDefault};

    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);
    // The form's picture, drawn from the top-left corner behind its controls.
    const QPixmap& Picture() const { return picture_; }
    void SetPicture(const QPixmap& picture);

    // Client area in twips.
    float ScaleLeft() const { return 0; }
    float ScaleTop() const { return 0; }
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Sets the client size by setting the outer size.
    void SetClientSize(float width, float height);

    void Move(float left, float top, float width = -1, float height = -1);
    void ZOrder(int position = 0);
    // Places the controls aligned to the top or bottom edge (Aligned.h) across
    // the client area, in the order they were created.
    void ArrangeAligned();
    void SetFocus();
    void Refresh();

    // Opens a menu as a popup at the mouse pointer; the chosen item's Click runs.
    void PopupMenu(Menu& menu);
    using PopupMenuHandler = std::function<Menu*(Menu& menu)>;
    static void SetPopupMenuHandler(PopupMenuHandler handler);  // tests choose the item

    // Closes the window as the user would with the close box.
    bool CloseByUser();

    QWidget* Surface() const override;
    QWidget* Window() const;
    Form& ContainerForm() override { return *this; }

    // Platform bookkeeping.
    void RegisterControl(class Control* control);
    void UnregisterControl(class Control* control);
    const std::vector<class Control*>& Controls() const { return controls_; }
    void RegisterTimer(Timer* timer);
    void UnregisterTimer(Timer* timer);
    void RegisterMenu(Menu* menu);
    void MenusChanged();
    bool HasMenuBar() const;

protected:
    // Design-time values of the form and its controls; runs at every load
    // before Form_Load.
    virtual void Design() {}
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) { (void)Cancel; (void)UnloadMode; }
    virtual void Form_Unload(int16_t& Cancel) { (void)Cancel; }
    virtual void Form_Resize() {}
    virtual void Form_Paint() {}
    virtual void Form_Activate() {}
    virtual void Form_KeyDown(int16_t& KeyCode, int16_t Shift) { (void)KeyCode; (void)Shift; }
    virtual void Form_KeyPress(int16_t& KeyAscii) { (void)KeyAscii; }

private:
    friend class FormWindow;
    friend class FormSurface;
    void PropertyChanged(Aspect aspect) override;
    void ApplyGeometry();
    void ApplyFlags();
    bool RunUnload(int16_t mode);
    void FinishUnload();
    void FocusFirstControl();
    // Called by the window.
    void WindowResized(int clientWidthPx, int clientHeightPx);
    void WindowMoved(int xPx, int yPx);
    void WindowStateChanged(int state);
    bool HandleKey(QKeyEvent& event, QWidget* receiver);
    CommandButton* DialogButton(const QKeyEvent& event, class Control* focus) const;
    void PaintSurface(class QPainter& painter, const QRect& area);

    QString name_;
    std::unique_ptr<FormWindow> window_;
    QIcon icon_;
    QPixmap picture_;
    std::vector<class Control*> controls_;
    std::vector<Timer*> timers_;
    std::vector<Menu*> menus_;
    bool loaded_ = false;
    bool loading_ = false;
    bool shownSinceLoad_ = false;
    bool applyingGeometry_ = false;
    float resizedWidth_ = 0;   // size Form_Resize last heard of while hidden
    float resizedHeight_ = 0;
    QEventLoop* modalLoop_ = nullptr;
};

}  // namespace plat
