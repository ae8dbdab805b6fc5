#pragma once
// A private X server for end-to-end tests: starts Xvfb on a free display,
// optionally with a real window manager (openbox) on it, finds top-level
// windows by title, reads their size and closes them as the close box does.

#include <QProcess>
#include <QRect>
#include <QString>
#include <optional>

struct _XDisplay;

namespace testenv {

struct WindowInfo {
    unsigned long id = 0;
    QString title;
    int width = 0;
    int height = 0;
};

class X11Session {
public:
    enum class Manager { Bare, Openbox };

    explicit X11Session(Manager manager = Manager::Bare);
    ~X11Session();
    // True once the server answers and, when one was asked for, the window
    // manager has announced itself on the root window.
    bool Started() const { return display_ != nullptr && managerReady_; }
    QString DisplayName() const { return displayName_; }

    // Waits up to timeoutMs for a mapped window whose title contains `text`.
    std::optional<WindowInfo> WaitForWindow(const QString& text, int timeoutMs);
    // Asks the window to close (WM_DELETE_WINDOW), as the close box does.
    void RequestClose(const WindowInfo& window);
    // Real input, as a person gives it: a click at a point of a window
    // (pixels from its top-left corner) and a key press by its X key name.
    void Click(const WindowInfo& window, int x, int y, int button = 1);
    void PressKey(const char* keyName);

    ::_XDisplay* Display() const { return display_; }

    // Types printable ASCII text key by key, with Shift where the keyboard
    // map puts a character on the shifted level.
    void TypeText(const QString& text);
    // Presses (down) or releases a key by its X key name and leaves it so:
    // a modifier held during a click.
    void HoldKey(const char* keyName, bool down);

    // Where a window's client area lies on the screen, as the X server has it.
    QRect ClientRect(unsigned long window);
    // A plain window of another program laid over an area of the screen, in
    // front of every other, and taken away again (uncovering what it hid).
    unsigned long Cover(const QRect& area);
    void Uncover(unsigned long cover);
    // What a taskbar asks of the window manager: minimise, restore (which
    // also activates), maximise or unmaximise a window, and move its frame's
    // corner and size its client area as a drag would.
    void Minimize(unsigned long window);
    void Restore(unsigned long window);
    void SetMaximized(unsigned long window, bool maximized);
    void MoveResize(unsigned long window, const QRect& frameCornerAndClientSize);
    // The window's state as the window manager keeps it: 1 normal,
    // 3 minimised, 0 withdrawn (closed or hidden), -1 never managed.
    long WmState(unsigned long window);
    // The window the window manager has made active, 0 for none.
    unsigned long ActiveWindow();

private:
    bool WaitForManager(int timeoutMs);

    QProcess xvfb_;
    QProcess manager_;
    bool managerReady_ = true;
    QString displayName_;
    ::_XDisplay* display_ = nullptr;
};

}  // namespace testenv
