// The web-page control against real pages: local files and a web server of
// the test's own on 127.0.0.1.
#include "platform/forms/Form.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Startup.h"
#include "platform/web/WebBrowser.h"
#include "tests/support/PageServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

using testenv::PageServer;
using testenv::TitledPage;

namespace {

class PageForm : public plat::Form {
public:
    PageForm() : plat::Form(QStringLiteral("PageForm")), brw(*this, QStringLiteral("brw")) {}
    plat::WebBrowser brw;

protected:
    void Design() override
    {
        SetClientSize(6000, 4500);
        brw.Move(0, 0, 6000, 4500);
    }
};

struct EventLog {
    QStringList before;
    QStringList complete;
    int downloads = 0;
};

class WebBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        plat::SetUnhandledErrorHandler([this](const plat::RuntimeError& e) { errors.push_back(e.Number()); });
        ASSERT_TRUE(server.Listening());
        form = &NewForm(log);
    }
    void TearDown() override
    {
        forms.clear();
        plat::SetUnhandledErrorHandler({});
    }

    PageForm& NewForm(EventLog& into)
    {
        forms.push_back(std::make_unique<PageForm>());
        PageForm& f = *forms.back();
        f.brw.BeforeNavigate2 = [this, &into](const QString& url, bool& cancel) {
            into.before << url;
            cancel = url.contains(QLatin1String("blocked"));
        };
        f.brw.NavigateComplete2 = [&into](const QString& url) { into.complete << url; };
        f.brw.DownloadComplete = [&into] { ++into.downloads; };
        f.Show();
        return f;
    }

    plat::WebBrowser& brw() { return form->brw; }

    // Navigates and waits for the end of the load.
    void Load(const QString& address, EventLog& in, PageForm& f)
    {
        const int before = in.downloads;
        f.brw.Navigate(address);
        ASSERT_TRUE(testenv::WaitUntil([&] { return in.downloads > before; }, 20000)) << address.toStdString();
    }
    void Load(const QString& address) { Load(address, log, *form); }

    QString LocalPage(const QString& name, const QByteArray& html)
    {
        const QString path = files.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(html);
        return path;
    }

    testenv::ApplicationFirst app;  // the server's sockets need the application's event loop
    PageServer server;
    QTemporaryDir files;
    EventLog log;
    std::vector<std::unique_ptr<PageForm>> forms;
    PageForm* form = nullptr;
    std::vector<int> errors;
};

TEST_F(WebBrowserTest, LocalPageReportsItsArrivalTitleAndAddress)
{
    const QString path = LocalPage(QStringLiteral("local.htm"), TitledPage(QStringLiteral("Local Page")));
    const QString url = QUrl::fromLocalFile(path).toString();
    Load(path);
    EXPECT_EQ(log.before, QStringList{url});
    EXPECT_EQ(log.complete, QStringList{url});
    EXPECT_EQ(log.downloads, 1);
    EXPECT_EQ(brw().LocationName(), "Local Page");
    EXPECT_EQ(brw().LocationURL(), url);
    EXPECT_FALSE(brw().Busy());
    EXPECT_TRUE(errors.empty());
}

TEST_F(WebBrowserTest, BusyFromNavigateUntilTheLoadEnds)
{
    server.AddPage(QStringLiteral("/slow.htm"), TitledPage(QStringLiteral("Slow"), QString(4000, QLatin1Char('x'))));
    server.Hold(QStringLiteral("/slow.htm"));
    brw().Navigate(server.Url(QStringLiteral("/slow.htm")));
    EXPECT_TRUE(brw().Busy());  // at once, before the engine has started
    ASSERT_TRUE(testenv::WaitUntil([&] { return !log.complete.isEmpty(); }, 20000));
    EXPECT_EQ(log.complete.first(), server.Url(QStringLiteral("/slow.htm")));
    testenv::Settle(200);
    EXPECT_TRUE(brw().Busy());
    EXPECT_EQ(log.downloads, 0);

    server.Release();
    ASSERT_TRUE(testenv::WaitUntil([&] { return log.downloads == 1; }, 20000));
    EXPECT_FALSE(brw().Busy());
    EXPECT_EQ(brw().LocationName(), "Slow");
}

TEST_F(WebBrowserTest, FailuresAreReportedThroughTheEventsOnly)
{
    const QString missingFile = files.filePath(QStringLiteral("nothing-here.htm"));
    const QString missingPage = server.Url(QStringLiteral("/gone.htm"));
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(PageServer::ClosedPort());
    for (const QString& address : {missingFile, missingPage, refused}) {
        log = {};
        Load(address);
        const QString url = address == missingFile ? QUrl::fromLocalFile(address).toString() : address;
        EXPECT_EQ(log.complete, QStringList{url}) << address.toStdString();
        EXPECT_EQ(brw().LocationURL(), url);
        EXPECT_FALSE(brw().Busy());
    }
    EXPECT_EQ(server.Requests(QStringLiteral("/gone.htm")), 1);
    EXPECT_TRUE(errors.empty());
}

TEST_F(WebBrowserTest, CancelInBeforeNavigate2KeepsTheCurrentPage)
{
    server.AddPage(QStringLiteral("/first.htm"), TitledPage(QStringLiteral("First")));
    server.AddPage(QStringLiteral("/blocked.htm"), TitledPage(QStringLiteral("Blocked")));
    Load(server.Url(QStringLiteral("/first.htm")));
    log = {};
    Load(server.Url(QStringLiteral("/blocked.htm")));
    EXPECT_EQ(log.before, QStringList{server.Url(QStringLiteral("/blocked.htm"))});
    EXPECT_TRUE(log.complete.isEmpty());
    EXPECT_EQ(server.Requests(QStringLiteral("/blocked.htm")), 0);
    EXPECT_EQ(brw().LocationURL(), server.Url(QStringLiteral("/first.htm")));
    EXPECT_FALSE(brw().Busy());
}

TEST_F(WebBrowserTest, EachFrameReportsItsArrivalAfterThePage)
{
    server.AddPage(QStringLiteral("/frames.htm"),
                   "<html><head><title>Framed</title></head><frameset cols='50%,50%'>"
                   "<frame src='/left.htm'><frame src='/right.htm'></frameset></html>");
    server.AddPage(QStringLiteral("/left.htm"), TitledPage(QStringLiteral("Left")));
    server.AddPage(QStringLiteral("/right.htm"), TitledPage(QStringLiteral("Right")));
    Load(server.Url(QStringLiteral("/frames.htm")));
    ASSERT_EQ(log.complete.size(), 3) << log.complete.join(' ').toStdString();
    EXPECT_EQ(log.complete[0], server.Url(QStringLiteral("/frames.htm")));
    EXPECT_TRUE(log.complete.contains(server.Url(QStringLiteral("/left.htm"))));
    EXPECT_TRUE(log.complete.contains(server.Url(QStringLiteral("/right.htm"))));
    EXPECT_EQ(log.before.size(), 3);
    EXPECT_EQ(log.downloads, 1);
    EXPECT_EQ(brw().LocationURL(), server.Url(QStringLiteral("/frames.htm")));
    EXPECT_EQ(brw().LocationName(), "Framed");
}

TEST_F(WebBrowserTest, StopEndsASlowLoad)
{
    server.AddPage(QStringLiteral("/slow.htm"), TitledPage(QStringLiteral("Slow"), QString(4000, QLatin1Char('x'))));
    server.Hold(QStringLiteral("/slow.htm"));
    brw().Navigate(server.Url(QStringLiteral("/slow.htm")));
    ASSERT_TRUE(testenv::WaitUntil([&] { return !log.complete.isEmpty(); }, 20000));
    brw().Stop();
    ASSERT_TRUE(testenv::WaitUntil([&] { return log.downloads == 1; }, 20000));
    EXPECT_FALSE(brw().Busy());
}

TEST_F(WebBrowserTest, BackAndForwardWalkTheHistory)
{
    try {
        brw().GoBack();
        ADD_FAILURE() << "no earlier page, yet no error";
    } catch (const plat::RuntimeError& e) {
        EXPECT_EQ(e.Number(), plat::ErrAutomation);
    }
    const QString a = LocalPage(QStringLiteral("a.htm"), TitledPage(QStringLiteral("A")));
    const QString b = LocalPage(QStringLiteral("b.htm"), TitledPage(QStringLiteral("B")));
    Load(a);
    Load(b);
    const int loads = log.downloads;
    brw().GoBack();
    EXPECT_TRUE(brw().Busy());
    ASSERT_TRUE(testenv::WaitUntil([&] { return log.downloads > loads; }, 20000));
    EXPECT_EQ(brw().LocationName(), "A");
    brw().GoForward();
    ASSERT_TRUE(testenv::WaitUntil([&] { return log.downloads > loads + 1; }, 20000));
    EXPECT_EQ(brw().LocationName(), "B");
    EXPECT_THROW(brw().GoForward(), plat::RuntimeError);
}

TEST_F(WebBrowserTest, EmptyAddressGoesNowhere)
{
    brw().Navigate(QString());
    EXPECT_FALSE(brw().Busy());
    testenv::Settle(300);
    EXPECT_TRUE(log.before.isEmpty());
    EXPECT_EQ(log.downloads, 0);
}

TEST_F(WebBrowserTest, AnErrorInAHandlerIsReportedAndTheLoadGoesOn)
{
    form->brw.NavigateComplete2 = [](const QString&) { plat::Raise(plat::ErrInvalidCall); };
    Load(LocalPage(QStringLiteral("c.htm"), TitledPage(QStringLiteral("C"))));
    EXPECT_EQ(errors, std::vector<int>{plat::ErrInvalidCall});
    EXPECT_EQ(brw().LocationName(), "C");
}

TEST_F(WebBrowserTest, ControlsShareNoStorage)
{
    server.AddPage(QStringLiteral("/set.htm"),
                   "<html><head><title>Set</title><script>document.cookie = 'visited=yes';</script></head></html>");
    server.AddPage(QStringLiteral("/show.htm"),
                   "<html><head><script>document.title = 'Cookie:' + document.cookie;</script></head></html>");
    Load(server.Url(QStringLiteral("/set.htm")));
    Load(server.Url(QStringLiteral("/show.htm")));
    EXPECT_EQ(brw().LocationName(), "Cookie:visited=yes");

    EventLog otherLog;
    PageForm& other = NewForm(otherLog);
    Load(server.Url(QStringLiteral("/show.htm")), otherLog, other);
    EXPECT_EQ(other.brw.LocationName(), "Cookie:");
}

// A page that tries to read the file at address in three ways, and shows in
// its title what came of each: "xhr:read fetch:blocked frame:none" ...
// ("none": no answer within five seconds).
QByteArray ReadingPage(const QString& address)
{
    return "<html><head><title>waiting</title><script>\n"
           "var found = {};\n"
           "function report(way, outcome) {\n"
           "  if (found[way]) return;\n"
           "  found[way] = outcome;\n"
           "  if (Object.keys(found).length == 3)\n"
           "    document.title = 'xhr:' + found.xhr + ' fetch:' + found.fetch + ' frame:' + found.frame;\n"
           "}\n"
           "function done(way, text) { report(way, text.indexOf('secret-content') >= 0 ? 'read' : 'blocked'); }\n"
           "setTimeout(function() { ['xhr', 'fetch', 'frame'].forEach(function(w) { report(w, 'none'); }); }, 5000);\n"
           "var x = new XMLHttpRequest();\n"
           "x.onload = function() { done('xhr', x.responseText); };\n"
           "x.onerror = function() { done('xhr', ''); };\n"
           "try { x.open('GET', '" + address.toUtf8() + "'); x.send(); } catch (e) { done('xhr', ''); }\n"
           "fetch('" + address.toUtf8() + "').then(function(r) { return r.text(); })\n"
           "  .then(function(t) { done('fetch', t); }, function() { done('fetch', ''); });\n"
           "window.onload = function() {\n"
           "  var f = document.createElement('iframe');\n"
           "  f.onload = function() {\n"
           "    try { done('frame', f.contentDocument.body.innerText); } catch (e) { done('frame', ''); }\n"
           "  };\n"
           "  f.src = '" + address.toUtf8() + "';\n"
           "  document.body.appendChild(f);\n"
           "};\n"
           "</script></head><body></body></html>";
}

TEST_F(WebBrowserTest, ALocalPageCannotReadOtherLocalFiles)
{
    const QString secret = LocalPage(QStringLiteral("secret.txt"), "secret-content");
    int reader = 0;
    for (const QString& address : {QStringLiteral("secret.txt"), QUrl::fromLocalFile(secret).toString()}) {
        Load(LocalPage(QStringLiteral("reader%1.htm").arg(++reader), ReadingPage(address)));
        ASSERT_TRUE(testenv::WaitUntil([&] { return brw().LocationName().startsWith("xhr:"); }, 20000));
        EXPECT_FALSE(brw().LocationName().contains("read")) << brw().LocationName().toStdString();
    }
}

TEST_F(WebBrowserTest, ARemotePageReachesNoLocalFile)
{
    const QString secret = LocalPage(QStringLiteral("secret.txt"), "secret-content");
    server.AddPage(QStringLiteral("/reader.htm"), ReadingPage(QUrl::fromLocalFile(secret).toString()));
    server.AddPage(QStringLiteral("/go.htm"), "<html><head><title>Go</title></head><body><a id='l' href='"
                                                  + QUrl::fromLocalFile(secret).toEncoded() + "'>x</a><script>"
                                                  "document.getElementById('l').click();</script></body></html>");
    Load(server.Url(QStringLiteral("/reader.htm")));
    ASSERT_TRUE(testenv::WaitUntil([&] { return brw().LocationName().startsWith("xhr:"); }, 20000));
    EXPECT_FALSE(brw().LocationName().contains("read")) << brw().LocationName().toStdString();

    Load(server.Url(QStringLiteral("/go.htm")));
    testenv::Settle(500);
    EXPECT_EQ(brw().LocationURL(), server.Url(QStringLiteral("/go.htm")));
}

TEST_F(WebBrowserTest, LocalPagesStillShowTheirPicturesAndFollowTheirLinks)
{
    const auto picture = [](const QString& path, int width) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(width, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(path);
    };
    picture(files.filePath(QStringLiteral("pages/pictures/pic.png")), 16);
    picture(files.filePath(QStringLiteral("outside.png")), 24);
    const QByteArray shows =
        "onload=\"document.title += ' ' + this.naturalWidth\" onerror=\"document.title += ' none'\"";
    LocalPage(QStringLiteral("pages/b.htm"), "<html><head><title>B</title></head><body>"
                                             "<img src='pictures/pic.png' " + shows + "></body></html>");
    LocalPage(QStringLiteral("pages/c.htm"), "<html><head><title>C</title></head><body>"
                                             "<img src='../outside.png' " + shows + "></body></html>");
    const QString a = LocalPage(QStringLiteral("pages/a b.htm"), "<html><head><title>A</title></head><body>"
                                                                "<a id='l' href='b.htm#part'>on</a><script>"
                                                                "setTimeout(function() { document.getElementById('l').click(); }, 0);"
                                                                "</script></body></html>");
    Load(a);
    ASSERT_TRUE(testenv::WaitUntil([&] { return brw().LocationName().startsWith("B "); }, 20000)) << brw().LocationName().toStdString();
    EXPECT_EQ(brw().LocationName(), "B 16");
    EXPECT_EQ(brw().LocationURL(), QUrl::fromLocalFile(files.filePath(QStringLiteral("pages/b.htm"))).toString() + "#part");

    // A picture from outside the page's folder is not shown.
    Load(files.filePath(QStringLiteral("pages/c.htm")));
    ASSERT_TRUE(testenv::WaitUntil([&] { return brw().LocationName().startsWith("C "); }, 20000));
    EXPECT_EQ(brw().LocationName(), "C none");
}

TEST_F(WebBrowserTest, ClearLeavesAFreshControl)
{
    Load(LocalPage(QStringLiteral("d.htm"), TitledPage(QStringLiteral("D"))));
    Load(LocalPage(QStringLiteral("e.htm"), TitledPage(QStringLiteral("E"))));
    brw().Clear();
    EXPECT_EQ(brw().LocationURL(), QString());
    EXPECT_FALSE(brw().Busy());
    EXPECT_THROW(brw().GoBack(), plat::RuntimeError);
}

}  // namespace
