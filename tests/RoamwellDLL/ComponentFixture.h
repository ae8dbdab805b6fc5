#pragma once
// The browser window's fixture, extended for its preferences, about box and
// commands: local pages in a temporary folder, a machine-wide registry hive
// of the test's own, and stand-ins that record message boxes and program
// starts instead of showing or starting anything.

#include "RoamwellDLL/frmAbout.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Dialogs.h"
#include "tests/RoamwellDLL/BrowserFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <vector>

class ComponentFixture : public BrowserFixture {
protected:
    struct Message {
        QString prompt;
        int buttons;
        QString title;
    };
    struct Start {
        QString program;
        QStringList arguments;
    };

    void SetUp() override
    {
        BrowserFixture::SetUp();
        ASSERT_TRUE(files.isValid());
        savedHive = qgetenv("PLAT_MACHINE_HIVE");
        qputenv("PLAT_MACHINE_HIVE", (files.path() + QStringLiteral("/machine/machine.reg")).toLocal8Bit());
        plat::SetMsgBoxHandler([this](const QString& prompt, int buttons, const QString& title) {
            messages.push_back({prompt, buttons, title});
            return static_cast<int>(plat::vbOK);
        });
        // A program starts when it is a file; anything else fails as a start would.
        plat::SetProcessStarter([this](const QString& program, const QStringList& arguments) -> long long {
            starts.push_back({program, arguments});
            if (!QFileInfo(program).isFile())
                plat::Raise(plat::ErrFileNotFound);
            return 4242;
        });
    }

    void TearDown() override
    {
        plat::SetMsgBoxHandler({});
        plat::SetProcessStarter({});
        plat::SetOpenFileHandler({});
        BrowserFixture::TearDown();
        plat::DefaultInstance<RoamwellDLL::frmAbout>::Release();
        qputenv("PLAT_MACHINE_HIVE", savedHive);
    }

    // A page in the temporary folder; its path (which may hold blanks).
    QString Page(const QString& relative, const QString& title)
    {
        const QString path = files.path() + u'/' + relative;
        Write(path, testenv::TitledPage(title));
        return path;
    }
    static void Write(const QString& path, const QByteArray& bytes, bool executable = false)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    static QString FileUrl(const QString& path) { return QUrl::fromLocalFile(path).toString(); }

    // Runs `inside` once the modal loop that `show` enters is running.
    static void WhileModal(const std::function<void()>& show, const std::function<void()>& inside)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            inside();
        });
        show();
        EXPECT_TRUE(ran);
    }

    QTemporaryDir files;
    QByteArray savedHive;
    std::vector<Message> messages;
    std::vector<Start> starts;
};
