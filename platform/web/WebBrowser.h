#pragma once
// The web-page control: a windowed control of the forms runtime that shows
// web pages on Qt WebEngine, navigates and reports its progress through
// three events.
//
// Events, raised on the window's thread inside the error guard:
//   BeforeNavigate2(url, cancel)  before the page or one of its frames goes
//                                 to url; setting cancel stops that navigation.
//   NavigateComplete2(url)        a document has arrived: once for the page
//                                 (url = the page's address) and once for each
//                                 frame the engine builds (url = the frame's).
//   DownloadComplete()            a load has ended, also a failed or stopped one.
// A navigation that fails (no such file, no such host, refused) is reported
// through these events and shows the engine's error page; it never raises
// into the caller.
//
// Each control has an off-the-record profile of its own: pages, cookies and
// caches live in memory and go with the control, and two controls share
// nothing.
//
// The engine's needs of its process: the application must be created with
// Qt::AA_ShareOpenGLContexts (plat::RunProgram and plat::EnsureApplication
// do that), and a process running as root must set
// QTWEBENGINE_DISABLE_SANDBOX=1 before the first page, because the engine's
// sandbox refuses to start as root.
//
// The engine is loaded when the first control is built, from a module beside
// this library (see WebEngineModule.h); without it the control cannot be
// built and raises File not found (53) naming the module.

#include "platform/forms/WindowedControl.h"
#include "platform/web/WebBackend.h"

#include <QString>
#include <functional>
#include <memory>

class QTimer;

namespace plat {

class WebBrowser : public WindowedControl, private WebBackendHost {
public:
    WebBrowser(Container& container, QString name, int index = -1);
    ~WebBrowser() override;

    // Goes to an address as a person would type it (see AddressToUrl). The
    // empty text goes nowhere.
    void Navigate(const QString& address);
    // Back and forward raise Automation error (440) when there is no such page.
    void GoBack();
    void GoForward();
    void Stop();
    void Refresh();

    // True from a Navigate (or a page's own navigation) until its load ends.
    bool Busy() const;
    QString LocationName() const;  // the page's title, else its address
    QString LocationURL() const;   // the page's address

    // Drops the page and its history: the control is as new.
    void Clear();

    std::function<void(const QString& url, bool& cancel)> BeforeNavigate2;
    std::function<void(const QString& url)> NavigateComplete2;
    std::function<void()> DownloadComplete;

private:
    void Expect();  // a load is on its way
    // From the engine.
    bool NavigationRequested(const QString& url) override;
    void DocumentArrived(bool mainFrame, const QString& frameUrl) override;
    void LoadStarted() override;
    void LoadEnded(bool committed) override;
    void RendererGone() override;

    std::unique_ptr<WebBackend> engine_;
    QTimer* pendingLimit_;
    bool pending_ = false;        // a load was asked for and has not started yet
    bool loading_ = false;        // between the engine's load start and end
    bool pageArrived_ = false;    // the page's document of this load was reported
    int inBeforeNavigate_ = 0;
};

}  // namespace plat
