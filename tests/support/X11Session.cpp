#include "tests/support/X11Session.h"

#include <QElapsedTimer>
#include <QThread>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <functional>
#include <vector>

namespace testenv {

namespace {
// Windows come and go while we look; a vanished one is no error for us.
int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}
}  // namespace

X11Session::X11Session(Manager manager)
{
    XSetErrorHandler(IgnoreXErrors);
    // -displayfd makes Xvfb pick a free display and print its number.
    xvfb_.setProgram(QStringLiteral("Xvfb"));
    xvfb_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    xvfb_.start();
    if (!xvfb_.waitForStarted(5000))
        return;
    QByteArray number;
    QElapsedTimer timer;
    timer.start();
    while (!number.contains('\n') && timer.elapsed() < 10000) {
        xvfb_.waitForReadyRead(200);
        number += xvfb_.readAllStandardOutput();
    }
    displayName_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    display_ = XOpenDisplay(displayName_.toLatin1().constData());
    if (!display_ || manager == Manager::Bare)
        return;
    // openbox with no configuration of the user's: its defaults decorate and
    // place windows as a desktop would.
    managerReady_ = false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), displayName_);
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    manager_.setProcessEnvironment(env);
    manager_.setProgram(QStringLiteral("openbox"));
    manager_.setArguments({QStringLiteral("--sm-disable")});
    manager_.start();
    managerReady_ = manager_.waitForStarted(5000) && WaitForManager(10000);
}

// A window manager that follows the desktop conventions names a check window
// on the root once it manages the screen.
bool X11Session::WaitForManager(int timeoutMs)
{
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        const bool found = XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW, &type,
                                              &format, &count, &after, &data) == Success &&
                           data && count == 1;
        if (data)
            XFree(data);
        if (found)
            return true;
        QThread::msleep(20);
    }
    return false;
}

X11Session::~X11Session()
{
    if (display_)
        XCloseDisplay(display_);
    if (manager_.state() != QProcess::NotRunning) {
        manager_.terminate();
        manager_.waitForFinished(3000);
    }
    xvfb_.terminate();
    xvfb_.waitForFinished(3000);
}

static QString TitleOf(Display* d, Window w)
{
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success && data) {
        QString title = QString::fromUtf8(reinterpret_cast<char*>(data), int(count));
        XFree(data);
        return title;
    }
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        QString title = QString::fromLocal8Bit(name);
        XFree(name);
        return title;
    }
    return {};
}

// Calls visit(window) for the windows of programs: the top-level ones, and
// under a window manager the ones it has put into its frames (a frame holds
// its client a level or two down).
static void ForEachClientWindow(Display* d, const std::function<bool(Window)>& visit)
{
    std::vector<std::pair<Window, int>> pending{{DefaultRootWindow(d), 0}};
    const Atom wmState = XInternAtom(d, "WM_STATE", False);
    while (!pending.empty()) {
        const auto [window, depth] = pending.back();
        pending.pop_back();
        Window root, parent, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(d, window, &root, &parent, &children, &n))
            continue;
        for (unsigned int i = 0; i < n; ++i) {
            int count = 0;
            Atom* properties = XListProperties(d, children[i], &count);
            bool isClient = false;
            for (int p = 0; p < count; ++p)
                isClient = isClient || properties[p] == wmState;
            if (properties)
                XFree(properties);
            if (isClient || (depth == 0 && !TitleOf(d, children[i]).isEmpty())) {
                if (visit(children[i])) {
                    XFree(children);
                    return;
                }
            } else if (depth < 3) {
                pending.push_back({children[i], depth + 1});
            }
        }
        if (children)
            XFree(children);
    }
}

std::optional<WindowInfo> X11Session::WaitForWindow(const QString& text, int timeoutMs)
{
    if (!display_)
        return std::nullopt;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        std::optional<WindowInfo> found;
        ForEachClientWindow(display_, [&](Window w) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(display_, w, &attributes) || attributes.map_state != IsViewable)
                return false;
            const QString title = TitleOf(display_, w);
            if (title.contains(text))
                found = WindowInfo{w, title, attributes.width, attributes.height};
            return found.has_value();
        });
        if (found)
            return found;
        QThread::msleep(2);
    }
    return std::nullopt;
}

void X11Session::RequestClose(const WindowInfo& window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window.id;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window.id, False, NoEventMask, &event);
    XFlush(display_);
}

void X11Session::Click(const WindowInfo& window, int x, int y, int button)
{
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display_, window.id, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display_, unsigned(button), True, CurrentTime);
    XTestFakeButtonEvent(display_, unsigned(button), False, 30);
    XFlush(display_);
}

void X11Session::PressKey(const char* keyName)
{
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keyName));
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, 20);
    XFlush(display_);
}

void X11Session::TypeText(const QString& text)
{
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    for (const QChar c : text) {
        // Printable ASCII characters have their own code as key symbol.
        const KeySym symbol = c.unicode();
        const KeyCode code = XKeysymToKeycode(display_, symbol);
        if (code == 0)
            continue;
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != symbol;
        if (shifted)
            XTestFakeKeyEvent(display_, shift, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, 5);
        if (shifted)
            XTestFakeKeyEvent(display_, shift, False, 5);
        XFlush(display_);
    }
}

void X11Session::HoldKey(const char* keyName, bool down)
{
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keyName));
    XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    XFlush(display_);
}

}  // namespace testenv
