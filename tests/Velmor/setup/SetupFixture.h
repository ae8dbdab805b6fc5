#pragma once
// The game's board window loaded headless as the program's own default
// instance (the setup dialog and the about box copy its icon and picture),
// with settings in a temporary folder, End() returning to the test and
// every unhandled run-time error failing it.

#include "Velmor/frmAbout.h"
#include "Velmor/frmBoard.h"
#include "Velmor/frmOptions.h"
#include "Velmor/modVelmor.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/forms/Keys.h"
#include "platform/runtime/App.h"
#include "platform/runtime/Dialogs.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Settings.h"
#include "platform/runtime/SettingsTable.h"
#include "tests/support/TestEnv.h"

#include <QIcon>
#include <QPixmap>
#include <gtest/gtest.h>
#include <initializer_list>

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::EnsureApplication();
        ASSERT_TRUE(testenv::RegisterHelpBrowserStandIn());  // the board's load creates its help browser
        plat::SetUnhandledErrorHandler([](const plat::RuntimeError& e) {
            ADD_FAILURE() << "unhandled run-time error " << e.Number() << ": " << qPrintable(e.Description());
        });
    }

    void TearDown() override
    {
        plat::DefaultInstance<frmOptions>::Release();
        plat::DefaultInstance<frmAbout>::Release();
        plat::DefaultInstance<frmBoard>::Release();
        plat::SetUnhandledErrorHandler({});
        plat::SetProcessStarter({});
        plat::SetColorDialogHandler({});
        plat::Form::SetPopupMenuHandler({});
    }

    // The board as the program starts it, with an icon and a wall picture
    // of its own so that copies of them can be recognised.
    frmBoard& LoadBoard()
    {
        frmBoard& board = plat::Default<frmBoard>();
        board.Load();
        QPixmap icon(16, 16);
        icon.fill(Qt::red);
        board.SetIcon(QIcon(icon));
        QPixmap wall(80, 520);
        wall.fill(Qt::darkGray);
        board.imgLeft.SetPicture(wall);
        return board;
    }

    frmOptions& OpenSetup()
    {
        plat::Default<frmBoard>().mnuSetup_Click();
        return plat::Default<frmOptions>();
    }

    // Loaded but not shown: what the load itself sets, before a window
    // frame can nudge the reported position.
    frmOptions& LoadSetup()
    {
        frmOptions& dlg = plat::Default<frmOptions>();
        dlg.Load();
        return dlg;
    }

    static void Store(const char* section, const char* key, const char* value)
    {
        plat::SaveSetting("Velmor", section, key, value);
    }
    static QString Stored(const char* section, const char* key)
    {
        return plat::GetSetting("Velmor", section, key, "<missing>");
    }

    // A setting of the game as a row of a table: section, key and text
    // ("<missing>" for none, where it is expected).
    struct Setting {
        const char* section;
        const char* key;
        const char* value;
    };
    static void Store(std::initializer_list<Setting> settings)
    {
        for (const Setting& s : settings)
            Store(s.section, s.key, s.value);
    }
    static void ExpectStored(std::initializer_list<Setting> expected)
    {
        for (const Setting& s : expected)
            EXPECT_EQ(Stored(s.section, s.key).toStdString(), s.value) << s.section << "/" << s.key;
    }

    testenv::TempConfigHome config;
    testenv::ScriptedRnd rnd{0.5f};
    testenv::CatchEnd end;
};
