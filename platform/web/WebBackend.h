#pragma once
// The seam between the web-page control and the web engine. The engine's
// libraries are large and slow to load, and most programs that carry the
// control never show a page; so the engine-facing half lives in a module of
// its own (WebEngineModule) that the control loads when the first one is
// built. Only Qt Core and Widgets types cross the seam.

#include <QString>
#include <QUrl>

class QWidget;

namespace plat {

// What the engine reports, for its current page only, on the window's thread.
class WebBackendHost {
public:
    // The page or one of its frames is about to go to url; false refuses.
    virtual bool NavigationRequested(const QString& url) = 0;
    // A document was built: the page's own (mainFrame) or a frame's.
    virtual void DocumentArrived(bool mainFrame, const QString& frameUrl) = 0;
    virtual void LoadStarted() = 0;
    // committed: the load reached a document (also an error page); false
    // when it was stopped.
    virtual void LoadEnded(bool committed) = 0;
    // The process that renders the page went away.
    virtual void RendererGone() = 0;

protected:
    ~WebBackendHost() = default;
};

// One view with an off-the-record profile of its own and its current page.
class WebBackend {
public:
    virtual ~WebBackend() = default;  // takes the view (if still there) and the profile

    virtual QWidget* Widget() const = 0;
    // A fresh page without history replaces the current one.
    virtual void NewPage() = 0;
    virtual void Load(const QUrl& url) = 0;
    // Loads from the event loop's next turn, unless the page is replaced first.
    virtual void LoadLater(const QUrl& url) = 0;
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    virtual void Back() = 0;
    virtual void Forward() = 0;
    virtual void Stop() = 0;
    virtual void Reload() = 0;
    virtual QUrl Url() const = 0;
    virtual QString Title() const = 0;
};

}  // namespace plat

// The module's one entry point, looked up by this name: a backend whose view
// is a child of parent and which reports to host.
#define PLAT_WEB_BACKEND_FACTORY "plat_CreateWebBackend"
using PlatWebBackendFactory = plat::WebBackend* (*)(plat::WebBackendHost* host, QWidget* parent);
