// The setup dialog: what its load shows, what each way of closing writes,
// the restart, and the running game's dimensions across a reopening.
#include "tests/Velmor/setup/SetupFixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

using namespace modVelmor;

namespace {

QStringList Entries(const plat::ComboBox& list)
{
    QStringList entries;
    for (int i = 0; i < list.ListCount(); ++i)
        entries << list.List(i);
    return entries;
}

QStringList Numbers(int from, int to)
{
    QStringList texts;
    for (int i = from; i <= to; ++i)
        texts << QString::number(i);
    return texts;
}

const char* const GameKeys[] = {"Columns", "Rows", "Size", "AsciiLeft", "AsciiRight", "AsciiRotate", "AsciiDrop"};

}  // namespace

using SetupDialog = SetupTest;

TEST_F(SetupDialog, FirstOpeningWithNoSettingsShowsTheDefaults)
{
    frmBoard& board = LoadBoard();
    frmOptions& dlg = LoadSetup();
    EXPECT_EQ(dlg.WindowState, plat::vbNormal);
    EXPECT_FLOAT_EQ(dlg.Top, 325);
    EXPECT_FLOAT_EQ(dlg.Left, 325);
    OpenSetup();

    EXPECT_TRUE(dlg.IsVisible());
    EXPECT_FLOAT_EQ(dlg.ScaleWidth(), 4650);
    EXPECT_FLOAT_EQ(dlg.ScaleHeight(), 1860);
    EXPECT_EQ(dlg.Icon().cacheKey(), board.Icon().cacheKey());
    EXPECT_EQ(dlg.Picture().cacheKey(), board.imgLeft.Picture().cacheKey());

    EXPECT_EQ(Entries(dlg.cboColumns), Numbers(10, 30));
    EXPECT_EQ(Entries(dlg.cboRows), Numbers(15, 30));
    EXPECT_EQ(dlg.cboColumns.Text.Get(), "20");
    EXPECT_EQ(dlg.cboRows.Text.Get(), "24");
    EXPECT_EQ(dlg.HScrollSize.Min, 100);
    EXPECT_EQ(dlg.HScrollSize.Max, 500);
    EXPECT_EQ(dlg.HScrollSize.Value.Get(), 300);
    EXPECT_EQ(dlg.Window()->focusWidget(), dlg.cboRows.Widget()) << "the row list has the focus";
    EXPECT_EQ(Stored("Start", "Windowstate"), "<missing>") << "opening writes nothing";
}

TEST_F(SetupDialog, ReopeningFillsTheListsAfreshAndAnOpenDialogKeepsItsChoices)
{
    LoadBoard();
    frmOptions& dlg = OpenSetup();
    dlg.cboColumns.PickByUser(dlg.cboColumns.ListIndex + 3);
    OpenSetup();
    EXPECT_EQ(dlg.cboColumns.Text.Get(), "23") << "a second Setup only brings the dialog forward";
    EXPECT_EQ(dlg.cboColumns.ListCount(), 21);

    dlg.cmdCancel_Click();
    OpenSetup();
    EXPECT_EQ(dlg.cboColumns.ListCount(), 21) << "each load fills the emptied lists once";
    EXPECT_EQ(dlg.cboRows.ListCount(), 16);
    EXPECT_EQ(dlg.cboColumns.Text.Get(), "20") << "the cancelled choice was not stored";
    EXPECT_FALSE(dlg.Cancelled);
}

TEST_F(SetupDialog, HandEditedSettingsAreReadAndReplacedOnSave)
{
    LoadBoard();
    Store({{"Game", "AsciiLeft", plat::DecimalText<plat::vbKeyA>},
           {"Game", "AsciiDrop", "forty"},
           {"Game", "Columns", "5"},
           {"Game", "Rows", "20"},
           {"Game", "Size", "250"},
           {"Options", "Top", "1000"},
           {"Options", "Left", "bad"}});

    frmOptions& dlg = LoadSetup();
    EXPECT_EQ(AsciiLeft, plat::vbKeyA) << "the key codes are read into the game's variables";
    EXPECT_EQ(AsciiDrop, plat::vbKeyDown) << "a text that is no number leaves the variable as it was";
    EXPECT_EQ(dlg.ShownColumns, 13);
    EXPECT_EQ(dlg.cboColumns.ListIndex.Get(), -1) << "5 is not an entry: the list stays unselected";
    EXPECT_EQ(dlg.cboRows.Text.Get(), "20");
    EXPECT_EQ(dlg.HScrollSize.Value.Get(), 250);
    EXPECT_FLOAT_EQ(dlg.Top, 1000);
    EXPECT_EQ(dlg.Left, 0) << "an unreadable Left leaves the dialog where the platform put it";

    OpenSetup();
    dlg.Move(1000, 1200);
    dlg.cmdSaveExit.PressByUser();
    EXPECT_FALSE(dlg.Loaded());
    EXPECT_EQ(Stored("Game", "Columns"), "5") << "an unselected list keeps the stored value";
    ExpectStored({{"Game", "AsciiLeft", plat::DecimalText<plat::vbKeyLeft>},
                  {"Game", "AsciiDrop", plat::DecimalText<plat::vbKeyDown>},
                  {"Game", "Rows", "20"},
                  {"Game", "Size", "250"},
                  {"Options", "Top", "1200"},
                  {"Options", "Left", "1000"}});
}

TEST_F(SetupDialog, SizeOutsideTheBarKeepsTheBarAtItsDesignValue)
{
    LoadBoard();
    Store("Game", "Size", "50");
    Store("Game", "Rows", "40");
    frmOptions& dlg = OpenSetup();
    EXPECT_EQ(dlg.HScrollSize.Value.Get(), 300);
    EXPECT_EQ(dlg.cboRows.ListIndex.Get(), -1);

    EXPECT_TRUE(dlg.CloseByUser());
    EXPECT_EQ(Stored("Game", "Size"), "300");
    EXPECT_EQ(Stored("Game", "Rows"), "40");
}

TEST_F(SetupDialog, SaveAndExitWritesWhatTheDialogShows)
{
    LoadBoard();
    frmOptions& dlg = OpenSetup();
    dlg.Move(1500, 2500);
    dlg.cboColumns.PickByUser(dlg.cboColumns.ListIndex - 5);  // 15
    dlg.cboRows.PickByUser(dlg.cboRows.ListIndex - 4);        // 20
    dlg.HScrollSize.Value = 420;

    dlg.cmdSaveExit.PressByUser();
    EXPECT_FALSE(dlg.Loaded());
    EXPECT_FALSE(dlg.IsVisible());
    ExpectStored({{"Start", "Windowstate", "0"},
                  {"Options", "Top", "2500"},
                  {"Options", "Left", "1500"},
                  {"Game", "Columns", "15"},
                  {"Game", "Rows", "20"},
                  {"Game", "Size", "420"},
                  {"Game", "AsciiLeft", plat::DecimalText<plat::vbKeyLeft>},
                  {"Game", "AsciiRight", plat::DecimalText<plat::vbKeyRight>},
                  {"Game", "AsciiRotate", plat::DecimalText<plat::vbKeyUp>},
                  {"Game", "AsciiDrop", plat::DecimalText<plat::vbKeyDown>}});
    EXPECT_EQ(Columns, 28) << "the running game keeps its well";
    EXPECT_EQ(Rows, 25);
    EXPECT_EQ(Size, 300);
}

TEST_F(SetupDialog, CloseBoxSavesLikeSaveAndExit)
{
    LoadBoard();
    frmOptions& dlg = LoadSetup();
    dlg.cboColumns.PickByUser(0);
    dlg.cboRows.PickByUser(dlg.cboRows.ListCount() - 1);
    EXPECT_TRUE(dlg.CloseByUser());
    EXPECT_FALSE(dlg.Loaded());
    ExpectStored({{"Game", "Columns", "10"},
                  {"Game", "Rows", "30"},
                  {"Game", "Size", "300"},
                  {"Game", "AsciiRotate", plat::DecimalText<plat::vbKeyUp>},
                  {"Options", "Top", "325"}});
}

TEST_F(SetupDialog, CancelWritesOnlyThePlacement)
{
    LoadBoard();
    frmOptions& dlg = LoadSetup();
    dlg.cboColumns.PickByUser(0);
    dlg.HScrollSize.Value = 100;
    dlg.cmdCancel.PressByUser();
    EXPECT_FALSE(dlg.Loaded());
    ExpectStored({{"Start", "Windowstate", "0"}, {"Options", "Top", "325"}, {"Options", "Left", "325"}});
    for (const char* key : GameKeys)
        EXPECT_EQ(Stored("Game", key), "<missing>") << key;
}

TEST_F(SetupDialog, MaximisedDialogWritesOnlyItsWindowState)
{
    LoadBoard();
    Store({{"Start", "Windowstate", "2"},
           {"Options", "Top", "900"},
           {"Game", "Columns", "15"},
           {"Game", "AsciiLeft", plat::DecimalText<plat::vbKeyA>}});

    frmOptions& dlg = OpenSetup();
    EXPECT_EQ(dlg.WindowState, plat::vbMaximized);
    EXPECT_EQ(AsciiLeft, plat::vbKeyLeft) << "no re-read in the maximised state";
    EXPECT_EQ(dlg.cboColumns.Text.Get(), "20") << "the list shows the running game's width";

    dlg.cboRows.PickByUser(0);
    EXPECT_TRUE(dlg.CloseByUser());
    ExpectStored({{"Start", "Windowstate", "2"},
                  {"Options", "Top", "900"},
                  {"Options", "Left", "<missing>"},
                  {"Game", "Columns", "15"},
                  {"Game", "Rows", "<missing>"},
                  {"Game", "AsciiLeft", plat::DecimalText<plat::vbKeyA>}});
}

TEST_F(SetupDialog, StoredStateOfOneOrNonsenseOpensNormalAtTheStoredPlace)
{
    LoadBoard();
    for (const char* state : {"1", "7", "x"}) {
        Store("Start", "Windowstate", state);
        Store("Options", "Top", "600");
        Store("Options", "Left", "700");
        frmOptions& dlg = LoadSetup();
        EXPECT_EQ(dlg.WindowState, plat::vbNormal) << state;
        EXPECT_FLOAT_EQ(dlg.Top, 600) << state;
        EXPECT_FLOAT_EQ(dlg.Left, 700) << state;
        dlg.cmdCancel_Click();
        EXPECT_EQ(Stored("Start", "Windowstate"), "0") << state;
    }
}

TEST_F(SetupDialog, RestartGameWritesFirstThenStartsThisProgramByItsFullPath)
{
    LoadBoard();
    frmOptions& dlg = OpenSetup();
    dlg.cboColumns.PickByUser(dlg.cboColumns.ListIndex - 5);  // 15

    struct Started { QString program; QStringList arguments; QString columns; QString keyLeft; QString state; };
    std::vector<Started> started;
    plat::SetProcessStarter([&](const QString& program, const QStringList& arguments) {
        started.push_back({program, arguments, Stored("Game", "Columns"), Stored("Game", "AsciiLeft"),
                           Stored("Start", "Windowstate")});
        return 4242LL;
    });

    EXPECT_THROW(dlg.cmdRestartGame_Click(), testenv::EndCalled);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, plat::App::ExePath());
    EXPECT_TRUE(QFileInfo(started[0].program).isAbsolute());
    EXPECT_TRUE(started[0].arguments.isEmpty());
    EXPECT_EQ(started[0].columns, "15") << "the choices are on disk before the new copy starts";
    EXPECT_EQ(started[0].keyLeft, plat::DecimalText<plat::vbKeyLeft>);
    EXPECT_EQ(started[0].state, "0");
    EXPECT_EQ(Stored("Game", "Windowstate"), "<missing>") << "the board does not save its placement";
    EXPECT_EQ(Stored("Game", "Top"), "<missing>");
}

TEST_F(SetupDialog, RestartThatCannotStartTheProgramHasWrittenTheSettings)
{
    LoadBoard();
    frmOptions& dlg = OpenSetup();
    dlg.cboRows.PickByUser(0);
    plat::SetProcessStarter([](const QString&, const QStringList&) -> long long { plat::Raise(plat::ErrFileNotFound); });
    try {
        dlg.cmdRestartGame_Click();
        ADD_FAILURE() << "a failed start must not go unnoticed";
    } catch (const plat::RuntimeError& e) {
        EXPECT_EQ(e.Number(), plat::ErrFileNotFound);
    }
    EXPECT_EQ(Stored("Game", "Rows"), "15");
}

TEST_F(SetupDialog, ReopeningAfterASaveShowsTheStoredChoicesWhileTheGameKeepsItsWell)
{
    LoadBoard();
    Store("Game", "AsciiLeft", plat::DecimalText<plat::vbKeyA>);
    frmOptions& dlg = OpenSetup();
    dlg.cboColumns.PickByUser(dlg.cboColumns.ListIndex - 5);  // 15
    dlg.cboRows.PickByUser(dlg.cboRows.ListIndex - 4);        // 20
    dlg.HScrollSize.Value = 450;
    dlg.cmdSaveExit_Click();

    Store("Game", "AsciiRight", plat::DecimalText<plat::vbKeyD>);
    OpenSetup();
    EXPECT_EQ(dlg.cboColumns.Text.Get(), "15");
    EXPECT_EQ(dlg.cboRows.Text.Get(), "20");
    EXPECT_EQ(dlg.HScrollSize.Value.Get(), 450);
    EXPECT_EQ(dlg.ShownColumns, 23);
    EXPECT_EQ(dlg.ShownRows, 21);
    EXPECT_EQ(dlg.ShownSize, 450);
    EXPECT_EQ(Columns, 28) << "the well was built 20 wide and stays so until the next start";
    EXPECT_EQ(Rows, 25);
    EXPECT_EQ(Size, 300);
    EXPECT_EQ(AsciiRight, plat::vbKeyD) << "the key codes are still re-read";
}

TEST_F(SetupDialog, ClosingTheBoardWithTheDialogOpenEndsWithoutSavingIt)
{
    frmBoard& board = LoadBoard();
    frmOptions& dlg = OpenSetup();
    dlg.cboColumns.PickByUser(0);

    EXPECT_THROW(board.Unload(), testenv::EndCalled);
    EXPECT_FALSE(plat::DefaultInstance<frmOptions>::Exists());
    EXPECT_EQ(Stored("Start", "Windowstate"), "<missing>");
    EXPECT_EQ(Stored("Game", "Columns"), "<missing>");
    EXPECT_EQ(Stored("Game", "Windowstate"), "0") << "the board itself saved its placement";
}
