#include "tests/support/X11Session.h"

#include <QElapsedTimer>
#include <QThread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <functional>

namespace testenv {

namespace {
// Windows come and go while we look; a vanished one is no error for us.
int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}
}  // namespace

X11Session::X11Session()
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
}

X11Session::~X11Session()
{
    if (display_)
        XCloseDisplay(display_);
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

std::optional<WindowInfo> X11Session::WaitForWindow(const QString& text, int timeoutMs)
{
    if (!display_)
        return std::nullopt;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        Window root = DefaultRootWindow(display_), parent, *children = nullptr;
        unsigned int n = 0;
        std::optional<WindowInfo> found;
        if (XQueryTree(display_, root, &root, &parent, &children, &n)) {
            for (unsigned int i = 0; i < n && !found; ++i) {
                XWindowAttributes attributes;
                if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable)
                    continue;
                const QString title = TitleOf(display_, children[i]);
                if (title.contains(text))
                    found = WindowInfo{children[i], title, attributes.width, attributes.height};
            }
            if (children)
                XFree(children);
        }
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

}  // namespace testenv
