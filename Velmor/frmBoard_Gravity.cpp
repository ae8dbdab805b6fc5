// The clock and what happens when a piece comes to rest: the fall, the
// landing, the score, full rows and the speed that follows the score.
#include "Velmor/frmBoard.h"

#include "Velmor/modVelmor.h"
#include "platform/runtime/Numeric.h"

using namespace modVelmor;

namespace {
// The score lives only in the label: read it with the runtime's conversion.
double Score(const plat::Label& label)
{
    return plat::CDbl(label.Caption);
}
}  // namespace

void frmBoard::tmrMove_Timer()
{
    if (GameOn)
        CheckBlob();
}

// Sets Landed when any visible cell stands right above a filled position.
// It never clears the flag: the landing step does.
void frmBoard::LandingTest()
{
    for (int i = 0; i <= 15; ++i) {
        const plat::ShapeControl& cell = *BlobCell[i];
        if (cell.Visible && Board(Column(cell), Row(cell) + 1).Filled)
            Landed = true;
    }
}

// Hidden shapes move too, so the 4 x 4 frame that the turn reads stays whole.
void frmBoard::FallOneRow()
{
    for (plat::ShapeControl* cell : BlobCell)
        cell->Top = cell->Top + cell->Height;
}

void frmBoard::CheckBlob()
{
    LandingTest();
    if (Landed)
        BlobStop();
    else
        FallOneRow();
}

void frmBoard::BlobStop()
{
    // The landing sound, and the clock stops while the piece lands.
    SoundFile = QStringLiteral("waterdrop.wav");
    PlaySoundFile();
    tmrMove.Enabled = false;

    // Merge the piece into the well, 50 points a cell.
    for (int i = 0; i <= 15; ++i) {
        plat::ShapeControl& cell = *BlobCell[i];
        if (!cell.Visible)
            continue;
        cell.Visible = false;
        BoardCell& place = Board(Column(cell), Row(cell));
        place.Filled = true;
        place.Square->Visible = true;
        place.Square->BackColor = cell.BackColor;
        place.Square->FillColor = cell.BackColor;  // the back colour: a blocked cell lands red
        place.Square->BorderColor = cell.BorderColor;
        lblScore.Caption = plat::CStr(Score(lblScore) + 50);
    }

    // Remove full rows, top down: a removal only moves rows the scan has passed.
    const int16_t lastRow = Rows - 1;
    for (int16_t y = 0; y <= lastRow; ++y) {
        bool full = true;
        for (int x = 4; x <= Columns - 4; ++x) {
            if (!Board(x, y).Filled)
                full = false;
        }
        if (full)
            RemoveRow(y);
    }

    // The new speed, the next piece, and the clock running again. Also after
    // a game over inside SetBlob1: the timer runs on idle and the keys act on
    // the blocked piece.
    SetSpeed();
    SetBlob1(plat::RGB(NextRed, NextGreen, NextBlue), 0xFFFFFF, pArray);
    tmrMove.Enabled = true;
    Landed = false;
}

void frmBoard::RemoveRow(int16_t Row)
{
    SoundFile = QStringLiteral("energypod.wav");
    PlaySoundFile();

    // Copy each play cell from the one above; nothing moves. Row 0 empties.
    for (int y = Row; y >= 1; --y) {
        for (int x = 4; x <= Columns - 4; ++x) {
            BoardCell& below = Board(x, y);
            BoardCell& above = Board(x, y - 1);
            below.Filled = above.Filled;
            below.Square->Visible = above.Square->Visible;
            below.Square->BackColor = above.Square->BackColor;
            below.Square->FillColor = above.Square->FillColor;
            below.Square->BorderColor = above.Square->BorderColor;
            above.Square->Visible = false;
            above.Filled = false;
        }
    }

    for (int x = 0; x <= Columns; ++x)
        Board(x, Rows).Filled = true;
}

// One millisecond faster for every 2,000 points, down to 151.
void frmBoard::SetSpeed()
{
    const int16_t v = plat::CInt(StartingInterval - plat::Int(Score(lblScore) / 2000));
    if (v > 150)
        tmrMove.Interval = v;
}

// Falls row by row within the one key event until the piece rests, then lands it.
void frmBoard::DropBlob()
{
    const int steps = Rows;
    for (int k = 1; k <= steps; ++k) {
        LandingTest();
        if (Landed) {
            BlobStop();
            return;
        }
        FallOneRow();
    }
}
