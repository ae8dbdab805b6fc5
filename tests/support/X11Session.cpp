#include "tests/support/X11Session.h"

#include <QElapsedTimer>
#include <QThread>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <functional>
#include <initializer_list>
#include <vector>

namespace testenv {

namespace {
// Windows come and go while we look; a vanished one is no error for us.
int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

// The first value of a window's property of 32-bit values, if it has one of
// that type.
std::optional<unsigned long> FirstValue(Display* d, Window window, const char* property, Atom type)
{
    Atom actualType;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::optional<unsigned long> value;
    if (XGetWindowProperty(d, window, XInternAtom(d, property, False), 0, 1, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data && count > 0)
        value = reinterpret_cast<unsigned long*>(data)[0];  // 32-bit values come as longs
    if (data)
        XFree(data);
    return value;
}

// A message about a window, for the window itself or for the window manager.
XEvent MessageAbout(Display* d, Window window, const char* message, std::initializer_list<long> data)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d, message, False);
    event.xclient.format = 32;
    int i = 0;
    for (long value : data)
        event.xclient.data.l[i++] = value;
    return event;
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
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (FirstValue(display_, DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW))
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
    XEvent event =
        MessageAbout(display_, window.id, "WM_PROTOCOLS", {long(XInternAtom(display_, "WM_DELETE_WINDOW", False)), CurrentTime});
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

QRect X11Session::ClientRect(unsigned long window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes))
        return {};
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return QRect(x, y, attributes.width, attributes.height);
}

unsigned long X11Session::Cover(const QRect& area)
{
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;  // placed where asked, above the managed windows
    attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
    const Window cover =
        XCreateWindow(display_, DefaultRootWindow(display_), area.x(), area.y(), unsigned(area.width()),
                      unsigned(area.height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display_, cover);
    XSync(display_, False);
    return cover;
}

void X11Session::Uncover(unsigned long cover)
{
    XDestroyWindow(display_, cover);
    XSync(display_, False);
}

namespace {
// A request to the window manager about a window, sent to the root window.
void SendToRoot(Display* d, Window window, const char* message, std::initializer_list<long> data)
{
    XEvent event = MessageAbout(d, window, message, data);
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(d, False);
}
}  // namespace

void X11Session::Minimize(unsigned long window)
{
    SendToRoot(display_, window, "WM_CHANGE_STATE", {IconicState});
}

void X11Session::Restore(unsigned long window)
{
    SendToRoot(display_, window, "_NET_ACTIVE_WINDOW", {2 /* from a pager or taskbar */, CurrentTime});
}

void X11Session::SetMaximized(unsigned long window, bool maximized)
{
    SendToRoot(display_, window, "_NET_WM_STATE",
               {maximized ? 1 : 0 /* add or remove */, long(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
                long(XInternAtom(display_, "_NET_WM_STATE_MAXIMIZED_HORZ", False))});
}

void X11Session::MoveResize(unsigned long window, const QRect& frameCornerAndClientSize)
{
    // North-west gravity: x and y place the frame; all four values given;
    // asked for by a pager, on the user's behalf.
    const QRect& r = frameCornerAndClientSize;
    SendToRoot(display_, window, "_NET_MOVERESIZE_WINDOW",
               {NorthWestGravity | (0xF << 8) | (2 << 12), r.x(), r.y(), r.width(), r.height()});
}

long X11Session::WmState(unsigned long window)
{
    const std::optional<unsigned long> state =
        FirstValue(display_, window, "WM_STATE", XInternAtom(display_, "WM_STATE", False));
    return state ? long(*state) : -1;
}

unsigned long X11Session::ActiveWindow()
{
    return FirstValue(display_, DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW).value_or(0);
}

}  // namespace testenv
