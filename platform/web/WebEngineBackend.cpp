// The web-page control's engine half, on Qt WebEngine: built as a module of
// its own, loaded by the control on first use (see WebBackend.h).
#include "platform/web/WebBackend.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>

#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QUuid>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace plat {

namespace {

class EngineBackend;

// What a page may load from local files. The engine's own switch for it
// (LocalContentCanAccessFileUrls) also keeps local pages from showing their
// pictures and following their links, so it stays on and this rule draws the
// line: a local page shows pictures, style sheets, scripts, fonts and media
// from its own folder and the folders below it, and the person may go to
// any local page; but no page reads a local file through a script (requests
// and fetches, frames and objects whose content a script can open, workers).
// Otherwise any page saved to disk could read whatever the user can.
// Remote pages reach no local file.
class LocalFileRule : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl target = info.requestUrl();
        if (!target.isLocalFile())
            return;
        switch (info.resourceType()) {
        case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
            return;  // the person goes there and sees it; no page reads it
        case QWebEngineUrlRequestInfo::ResourceTypeImage:
        case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
        case QWebEngineUrlRequestInfo::ResourceTypeScript:
        case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
        case QWebEngineUrlRequestInfo::ResourceTypeMedia:
        case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
            if (InFolderOf(info.firstPartyUrl(), target))
                return;
            break;
        default:
            break;
        }
        info.block(true);
    }

private:
    // Whether target lies in the folder of the local page, or below it;
    // links are followed, so that none leads out of it.
    static bool InFolderOf(const QUrl& page, const QUrl& target)
    {
        if (!page.isLocalFile())
            return false;
        const QString folder = QFileInfo(QFileInfo(page.toLocalFile()).canonicalFilePath()).absolutePath();
        const QString file = QFileInfo(target.toLocalFile()).canonicalFilePath();
        return !folder.isEmpty() && !file.isEmpty() && file.startsWith(folder == u"/" ? folder : folder + u'/');
    }
};

// The engine tells of each document it builds only to scripts inside it. A
// script of our own, run in a world the page cannot see, reports every new
// document of the page and of its frames as a console line that starts with
// a token the page cannot know.
class WebPage : public QWebEnginePage {
public:
    WebPage(EngineBackend& owner, QWebEngineProfile* profile, QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override;

private:
    EngineBackend& owner_;
    QString token_;
};

class EngineBackend final : public WebBackend {
public:
    EngineBackend(WebBackendHost& host, QWidget* parent)
        : host_(host), view_(new QWebEngineView(parent)), profile_(new QWebEngineProfile())  // off the record
    {
        profile_->setUrlRequestInterceptor(new LocalFileRule(profile_));
        NewPage();
    }

    ~EngineBackend() override
    {
        // The pages (children of the view) must go before their profile.
        delete view_.data();
        delete profile_;
    }

    QWidget* Widget() const override { return view_; }

    void NewPage() override
    {
        WebPage* old = page_;
        page_ = new WebPage(*this, profile_, view_);
        QObject::connect(page_, &QWebEnginePage::loadingChanged, [this, page = page_](const QWebEngineLoadingInfo& info) {
            if (page != page_)
                return;
            if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                host_.LoadStarted();
            else
                host_.LoadEnded(info.status() != QWebEngineLoadingInfo::LoadStoppedStatus);
        });
        QObject::connect(page_, &QWebEnginePage::renderProcessTerminated, [this, page = page_] {
            if (page == page_)
                host_.RendererGone();
        });
        view_->setPage(page_);
        if (old)
            old->deleteLater();  // it may be the one raising the event we are in
    }

    void Load(const QUrl& url) override { page_->load(url); }
    void LoadLater(const QUrl& url) override
    {
        QTimer::singleShot(0, page_, [page = page_, url] { page->load(url); });
    }
    bool CanGoBack() const override { return page_->history()->canGoBack(); }
    bool CanGoForward() const override { return page_->history()->canGoForward(); }
    void Back() override { page_->triggerAction(QWebEnginePage::Back); }
    void Forward() override { page_->triggerAction(QWebEnginePage::Forward); }
    void Stop() override { page_->triggerAction(QWebEnginePage::Stop); }
    void Reload() override { page_->triggerAction(QWebEnginePage::Reload); }
    QUrl Url() const override { return page_->url(); }
    QString Title() const override { return page_->title(); }

    // From the pages: only the current one speaks for the control.
    bool IsCurrent(const WebPage* page) const { return page == page_; }
    WebBackendHost& Host() const { return host_; }

private:
    WebBackendHost& host_;
    QPointer<QWebEngineView> view_;
    QWebEngineProfile* profile_;
    WebPage* page_ = nullptr;
};

WebPage::WebPage(EngineBackend& owner, QWebEngineProfile* profile, QObject* parent)
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

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool)
{
    if (!owner_.IsCurrent(this))
        return false;
    return owner_.Host().NavigationRequested(url.toString());
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&)
{
    // The page's own console lines are not ours to show.
    if (!owner_.IsCurrent(this) || !message.startsWith(token_))
        return;
    const QString rest = message.mid(token_.size());
    const bool page = rest.startsWith(QLatin1String("page "));
    const qsizetype space = rest.indexOf(QLatin1Char(' '));
    owner_.Host().DocumentArrived(page, space < 0 ? QString() : rest.mid(space + 1));
}

}  // namespace

}  // namespace plat

namespace {

// Where OpenGL is drawn by the processor (a software renderer, or none at
// all), composing every repaint of the window through it costs more than
// drawing the pages without it: a blinking caret alone would keep a core
// busy. Decided once, before the first view exists.
void ChooseSceneGraph()
{
    static bool chosen = false;
    if (chosen || qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        return;
    chosen = true;
    bool hardware = false;
    QOpenGLContext context;
    QOffscreenSurface surface;
    surface.create();
    if (context.create() && context.makeCurrent(&surface)) {
        const auto* renderer = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
        const QByteArray name = QByteArray(renderer ? renderer : "").toLower();
        hardware = !name.isEmpty() && !name.contains("llvmpipe") && !name.contains("softpipe") && !name.contains("swrast");
        context.doneCurrent();
    }
    if (!hardware)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

}  // namespace

extern "C" Q_DECL_EXPORT plat::WebBackend* plat_CreateWebBackend(plat::WebBackendHost* host, QWidget* parent)
{
    ChooseSceneGraph();
    return new plat::EngineBackend(*host, parent);
}

static_assert(std::is_same_v<decltype(&plat_CreateWebBackend), PlatWebBackendFactory>);
