#include "platform/web/WebBrowser.h"

#include "platform/runtime/Errors.h"
#include "platform/web/WebAddress.h"

#include <QTimer>
#include <QUuid>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace plat {

namespace {
// A load asked for but not started by then is taken as not coming (a
// history step within one document starts none).
constexpr int PendingLimitMs = 2000;
}

// The engine tells of each document it builds only to scripts inside it. A
// script of our own, run in a world the page cannot see, reports every new
// document of the page and of its frames as a console line that starts with
// a token the page cannot know.
class WebPage : public QWebEnginePage {
public:
    WebPage(WebBrowser& owner, QWebEngineProfile* profile, QObject* parent)
        : QWebEnginePage(profile, parent),
          owner_(owner),
          token_(QStringLiteral("plat-web-") + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char(' '))
    {
        QWebEngineScript script;
        script.setName(QStringLiteral("document-arrived"));
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setRunsOnSubFrames(true);
        script.setSourceCode(QStringLiteral("console.log('%1' + (window === window.top ? 'page ' : 'frame ') + location.href);")
                                 .arg(token_));
        scripts().insert(script);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
    {
        if (owner_.page_ != this)
            return false;
        return owner_.NavigationRequested(url.toString());
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override
    {
        // The page's own console lines are not ours to show.
        if (owner_.page_ != this || !message.startsWith(token_))
            return;
        const QString rest = message.mid(token_.size());
        const bool page = rest.startsWith(QLatin1String("page "));
        const qsizetype space = rest.indexOf(QLatin1Char(' '));
        owner_.DocumentArrived(page, space < 0 ? QString() : rest.mid(space + 1));
    }

private:
    WebBrowser& owner_;
    QString token_;
};

WebBrowser::WebBrowser(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index)
{
    view_ = new QWebEngineView(ParentWidget());
    // Off the record: storage in memory, private to this control.
    profile_ = new QWebEngineProfile();
    pendingLimit_ = new QTimer(view_);
    pendingLimit_->setSingleShot(true);
    QObject::connect(pendingLimit_, &QTimer::timeout, [this] { pending_ = false; });
    NewPage();
    Attach(view_);
}

WebBrowser::~WebBrowser()
{
    // The pages (children of the view) must go before their profile.
    delete view_.data();
    delete profile_;
}

void WebBrowser::NewPage()
{
    WebPage* old = page_;
    page_ = new WebPage(*this, profile_, view_);
    QObject::connect(page_, &QWebEnginePage::loadingChanged, [this, page = page_](const QWebEngineLoadingInfo& info) {
        if (page != page_)
            return;
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            LoadStarted();
        else
            LoadEnded(info.status() != QWebEngineLoadingInfo::LoadStoppedStatus);
    });
    QObject::connect(page_, &QWebEnginePage::renderProcessTerminated, [this, page = page_] {
        if (page == page_ && (loading_ || pending_))
            LoadEnded(false);
    });
    view_->setPage(page_);
    if (old)
        old->deleteLater();  // it may be the one raising the event we are in
    pending_ = false;
    loading_ = false;
    pageArrived_ = false;
    pendingLimit_->stop();
}

void WebBrowser::Clear()
{
    NewPage();
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
        QTimer::singleShot(0, page_, [page = page_, url] { page->load(url); });
        return;
    }
    page_->load(url);
}

void WebBrowser::GoBack()
{
    if (!page_->history()->canGoBack())
        Raise(ErrAutomation, QStringLiteral("There is no earlier page"));
    Expect();
    page_->triggerAction(QWebEnginePage::Back);
}

void WebBrowser::GoForward()
{
    if (!page_->history()->canGoForward())
        Raise(ErrAutomation, QStringLiteral("There is no later page"));
    Expect();
    page_->triggerAction(QWebEnginePage::Forward);
}

void WebBrowser::Stop()
{
    pending_ = false;
    pendingLimit_->stop();
    page_->triggerAction(QWebEnginePage::Stop);
}

void WebBrowser::Refresh()
{
    if (page_->url().isEmpty())
        return;
    Expect();
    page_->triggerAction(QWebEnginePage::Reload);
}

bool WebBrowser::Busy() const
{
    return pending_ || loading_;
}

QString WebBrowser::LocationName() const
{
    return page_->title();
}

QString WebBrowser::LocationURL() const
{
    return page_->url().toString();
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
