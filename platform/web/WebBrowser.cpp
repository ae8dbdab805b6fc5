#include "platform/web/WebBrowser.h"

#include "platform/runtime/Errors.h"
#include "platform/web/WebAddress.h"
#include "platform/web/WebEngineModule.h"

#include <QTimer>
#include <QWidget>

namespace plat {

namespace {
// A load asked for but not started by then is taken as not coming (a
// history step within one document starts none).
constexpr int PendingLimitMs = 2000;
}

WebBrowser::WebBrowser(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index)
{
    engine_ = CreateWebBackend(*this, ParentWidget());
    pendingLimit_ = new QTimer(engine_->Widget());
    pendingLimit_->setSingleShot(true);
    QObject::connect(pendingLimit_, &QTimer::timeout, [this] { pending_ = false; });
    Attach(engine_->Widget());
}

WebBrowser::~WebBrowser()
{
    // While the events' handlers and the control's state are all still there.
    engine_.reset();
}

void WebBrowser::Clear()
{
    engine_->NewPage();
    pending_ = false;
    loading_ = false;
    pageArrived_ = false;
    pendingLimit_->stop();
}

void WebBrowser::Expect()
{
    pending_ = true;
    pendingLimit_->start(PendingLimitMs);
}

void WebBrowser::Navigate(const QString& address)
{
    const QUrl url = AddressToUrl(address);
    if (url.isEmpty())
        return;
    Expect();
    if (inBeforeNavigate_) {
        // Not from inside the engine's own question about a navigation.
        engine_->LoadLater(url);
        return;
    }
    engine_->Load(url);
}

void WebBrowser::GoBack()
{
    if (!engine_->CanGoBack())
        Raise(ErrAutomation, QStringLiteral("There is no earlier page"));
    Expect();
    engine_->Back();
}

void WebBrowser::GoForward()
{
    if (!engine_->CanGoForward())
        Raise(ErrAutomation, QStringLiteral("There is no later page"));
    Expect();
    engine_->Forward();
}

void WebBrowser::Stop()
{
    pending_ = false;
    pendingLimit_->stop();
    engine_->Stop();
}

void WebBrowser::Refresh()
{
    if (engine_->Url().isEmpty())
        return;
    Expect();
    engine_->Reload();
}

bool WebBrowser::Busy() const
{
    return pending_ || loading_;
}

QString WebBrowser::LocationName() const
{
    return engine_->Title();
}

QString WebBrowser::LocationURL() const
{
    return engine_->Url().toString();
}

bool WebBrowser::NavigationRequested(const QString& url)
{
    bool cancel = false;
    ++inBeforeNavigate_;
    if (BeforeNavigate2)
        Guard([&] { BeforeNavigate2(url, cancel); });
    --inBeforeNavigate_;
    return !cancel;
}

void WebBrowser::DocumentArrived(bool mainFrame, const QString& frameUrl)
{
    QString url = frameUrl;
    if (mainFrame) {
        pageArrived_ = true;
        url = LocationURL();  // an error page reports its own address, not the one asked for
    }
    if (NavigateComplete2)
        Guard([&] { NavigateComplete2(url); });
}

void WebBrowser::LoadStarted()
{
    pending_ = false;
    pendingLimit_->stop();
    loading_ = true;
    pageArrived_ = false;
}

void WebBrowser::RendererGone()
{
    if (loading_ || pending_)
        LoadEnded(false);
}

void WebBrowser::LoadEnded(bool committed)
{
    pending_ = false;
    pendingLimit_->stop();
    loading_ = false;
    // A page the engine could not report from inside (a document without
    // scripts) still counts as reached.
    if (committed && !pageArrived_) {
        pageArrived_ = true;
        const QString url = LocationURL();
        if (NavigateComplete2)
            Guard([&] { NavigateComplete2(url); });
    }
    if (DownloadComplete)
        Guard([&] { DownloadComplete(); });
}

}  // namespace plat
