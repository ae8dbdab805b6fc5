// The player's keys: move left and right, turn a quarter turn, drop.
#include "Velmor/frmBoard.h"

#include "Velmor/modVelmor.h"
#include "platform/forms/Keys.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Numeric.h"

#include <functional>
#include <utility>

using namespace modVelmor;

namespace {

// Moves the whole 4 x 4 frame one column unless a visible cell would meet a
// filled position. Skipping mode: a test that fails refuses the move, a
// shape that fails to move is left behind.
void Slide(const std::array<plat::ShapeControl*, 16>& cells, int step,
           const std::function<bool(const plat::ShapeControl&)>& besideIsFilled)
{
    bool Blocked = false;
    for (plat::ShapeControl* cell : cells) {
        const bool tested = plat::Skip([&] {
            if (cell->Visible && besideIsFilled(*cell))
                Blocked = true;
        });
        if (!tested)
            Blocked = true;
    }
    if (Blocked)
        return;
    for (plat::ShapeControl* cell : cells)
        plat::Skip([&] { cell->Left = cell->Left + float(step) * cell->Width; });
}

}  // namespace

void frmBoard::Form_KeyDown(int16_t& KeyCode, int16_t Shift)
{
    (void)Shift;  // Shift+Z moves left like Z
    if (Landed)
        return;

    // First match wins, so a configurable key equal to an earlier fixed key
    // never reaches its own action.
    using Action = void (frmBoard::*)();
    const std::pair<int, Action> keys[] = {
        {plat::vbKeyX, &frmBoard::RotateBlob},
        {plat::vbKeyComma, &frmBoard::RotateBlob},
        {AsciiRotate, &frmBoard::RotateBlob},
        {AsciiLeft, &frmBoard::MoveBlobLeft},
        {plat::vbKeyZ, &frmBoard::MoveBlobLeft},
        {plat::vbKeyM, &frmBoard::MoveBlobLeft},
        {plat::vbKeyPeriod, &frmBoard::MoveBlobRight},
        {AsciiRight, &frmBoard::MoveBlobRight},
        {plat::vbKeyC, &frmBoard::MoveBlobRight},
        {plat::vbKeyMenu, &frmBoard::DropBlob},  // Alt
        {plat::vbKeySpace, &frmBoard::DropBlob},
        {AsciiDrop, &frmBoard::DropBlob},
    };
    for (const auto& [code, action] : keys) {
        if (KeyCode == code) {
            // Skipping mode: a failure ends the turn or the drop, silently.
            plat::Skip([&] { (this->*action)(); });
            return;
        }
    }
}

void frmBoard::MoveBlobLeft()
{
    Slide(BlobCell, -1, [this](const plat::ShapeControl& cell) { return Board(Column(cell) - 1, Row(cell)).Filled; });
}

void frmBoard::MoveBlobRight()
{
    Slide(BlobCell, +1, [this](const plat::ShapeControl& cell) { return Board(Column(cell) + 1, Row(cell)).Filled; });
}

void frmBoard::RotateBlob()
{
    // The mask now and the frame's sixteen places.
    for (int i = 0; i <= 15; ++i) {
        OldCell[i].Filled = BlobCell[i]->Visible;
        NewCell[i].Filled = false;
        NewCell[i].X = plat::CLng(BlobCell[i]->Left);
        NewCell[i].Y = plat::CLng(BlobCell[i]->Top);
    }

    // A quarter turn anticlockwise: the top row becomes the left column,
    // read from the bottom up.
    if (Rotate3) {
        for (int r = 0; r <= 2; ++r)
            for (int c = 0; c <= 2; ++c)
                NewCell[4 * r + c].Filled = OldCell[4 * c + (2 - r)].Filled;
    } else {
        for (int r = 0; r <= 3; ++r)
            for (int c = 0; c <= 3; ++c)
                NewCell[4 * r + c].Filled = OldCell[4 * c + (3 - r)].Filled;
    }

    // Every turned cell must land on an empty position; no wall kick.
    bool Allowed = true;
    for (int i = 0; i <= 15; ++i) {
        if (!NewCell[i].Filled)
            continue;
        const int column = static_cast<int>(plat::Int(double(NewCell[i].X) / Size));
        const int row = static_cast<int>(plat::Int(double(NewCell[i].Y) / Size));
        if (Board(column, row).Filled)
            Allowed = false;
    }

    // The turn shows only if allowed: the shapes stay put, and only which of
    // them show changes.
    if (Allowed) {
        for (int i = 0; i <= 15; ++i)
            BlobCell[i]->Visible = NewCell[i].Filled;
    }
}
