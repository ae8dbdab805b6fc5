// Starting and ending games, and the best score in the window title.
#include "Velmor/frmBoard.h"

#include "Velmor/GameSettings.h"
#include "Velmor/modVelmor.h"
#include "platform/runtime/Dialogs.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Rnd.h"

using namespace modVelmor;
using plat::CInt;

void frmBoard::cmdPlay_Click()
{
    tmrMove.Enabled = true;
    GameOn = true;
    cmdPlay.Visible = false;
}

void frmBoard::cmdTryAgain_Click()
{
    SetupBoard();
    tmrMove.Interval = StartingInterval;
    DetermineBlob();
    // The first piece after "Try Again" is bluish where the one at start-up is greenish.
    const int16_t red = CInt(double(plat::Rnd()) * 155);
    const int16_t green = CInt(double(plat::Rnd()) * 155);
    const int16_t blue = CInt(double(plat::Rnd()) * 55 + 100);
    SetBlob1(plat::RGB(red, green, blue), 0xFFFFFF, pArray);
    lblScore.Caption = QStringLiteral("0");
    GameOn = true;
    cmdTryAgain.Visible = false;
    tmrMove.Enabled = true;
}

void frmBoard::GameOver()
{
    Landed = true;
    GameOn = false;
    tmrMove.Enabled = false;
    cmdTryAgain.Visible = true;
    SoundFile = QStringLiteral("sidestopper.wav");
    PlaySoundFile();

    // Only a strictly better score is a record. Highscore changes before
    // the dialog opens; both settings are written after it, also on Cancel.
    const QString score = lblScore.Caption;
    if (plat::CDbl(score) > Highscore) {
        Highscore = plat::CLng(score);
        Highscorename = plat::InputBox(QStringLiteral("You set the new high score of: ") + score
                                           + QStringLiteral("\r\n") + QStringLiteral("Enter your name..."),
                                       QStringLiteral("Congratulations!"));
        GameSettings::Write(GameSettings::Game::Highscore, plat::CStr(Highscore));
        GameSettings::Write(GameSettings::Game::Highscorename, Highscorename);
    }

    PostHighScore();
}

void frmBoard::PostHighScore()
{
    Caption = QStringLiteral("High Score:  ") + plat::CStr(Highscore) + QStringLiteral("     ") + Highscorename;
}
