#pragma once
// A private X server for end-to-end tests: starts Xvfb on a free display,
// optionally with a real window manager (openbox) on it, finds top-level
// windows by title, reads their size and closes them as the close box does.

#include <QProcess>
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

private:
    bool WaitForManager(int timeoutMs);

    QProcess xvfb_;
    QProcess manager_;
    bool managerReady_ = true;
    QString displayName_;
    ::_XDisplay* display_ = nullptr;
};

}  // namespace testenv
