// Pieces: the table they are drawn from, their entry at the top of the well
// (or the game's end when the entry is blocked) and the next piece's preview.
#include "Velmor/frmBoard.h"

#include "Velmor/modVelmor.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Rnd.h"

using namespace modVelmor;
using plat::CInt;
using plat::I16;

namespace {

// One piece: its 4 x 4 mask row by row (X = a cell, leftmost character =
// column 0), whether it turns within the top-left 3 x 3, and whether it
// enters one row higher.
struct PieceEntry {
    const char* rows[4];
    bool rotate3;
    bool startHigh;
};

// Forty entries; 28 to 39 repeat earlier pieces so that those come up twice
// as often. Column 3 stays empty throughout, a StartHigh piece leaves row 0
// empty and a Rotate3 piece keeps to the top-left 3 x 3: entry relies on it.
constexpr PieceEntry PieceTable[40] = {
    {{"....", ".XX.", "..X.", "...."}, false, true},   // 0
    {{"....", ".XX.", ".XX.", "...."}, false, true},   // 1
    {{".X..", ".X..", ".XX.", "..X."}, false, false},  // 2
    {{"..X.", "..X.", ".XX.", ".X.."}, false, false},  // 3
    {{"....", ".X..", ".X..", "...."}, false, true},   // 4
    {{"....", ".X..", "....", "...."}, true, true},    // 5
    {{".XX.", ".X..", ".X..", ".X.."}, false, false},  // 6
    {{".XX.", "..X.", "..X.", "..X."}, false, false},  // 7
    {{"XXX.", ".X..", ".X..", "...."}, true, false},   // 8
    {{"XXX.", "X...", "X...", "...."}, true, false},   // 9
    {{".X..", ".XX.", ".X..", ".X.."}, false, false},  // 10
    {{"..X.", ".XX.", "..X.", "..X."}, false, false},  // 11
    {{"XXX.", "X.X.", "....", "...."}, true, false},   // 12
    {{".X..", "XXX.", ".X..", "...."}, true, false},   // 13
    {{"..X.", "XXX.", "X...", "...."}, true, false},   // 14
    {{"X...", "XXX.", "..X.", "...."}, true, false},   // 15
    {{"XX..", ".XX.", ".X..", "...."}, true, false},   // 16
    {{".XX.", "XX..", ".X..", "...."}, true, false},   // 17
    {{"XX..", ".XX.", "..X.", "...."}, true, false},   // 18
    {{"XXX.", "XX..", "....", "...."}, true, false},   // 19
    {{"XXX.", ".XX.", "....", "...."}, true, false},   // 20
    {{".X..", ".X..", ".X..", "...."}, true, false},   // 21
    {{"XXX.", "X...", "....", "...."}, true, false},   // 22
    {{"XXX.", "..X.", "....", "...."}, true, false},   // 23
    {{"XX..", ".XX.", "....", "...."}, true, false},   // 24
    {{".XX.", "XX..", "....", "...."}, true, false},   // 25
    {{".X..", ".X..", ".X..", ".X.."}, false, false},  // 26
    {{".X..", "XXX.", "....", "...."}, true, false},   // 27
    {{"....", ".XX.", ".XX.", "...."}, false, true},   // 28 = 1
    {{"....", ".X..", ".X..", "...."}, false, true},   // 29 = 4
    {{"....", ".X..", "....", "...."}, true, true},    // 30 = 5
    {{"XXX.", ".X..", ".X..", "...."}, true, false},   // 31 = 8
    {{"XXX.", "X...", "X...", "...."}, true, false},   // 32 = 9
    {{"XXX.", "X.X.", "....", "...."}, true, false},   // 33 = 12
    {{".X..", "XXX.", ".X..", "...."}, true, false},   // 34 = 13
    {{"XX..", ".XX.", "..X.", "...."}, true, false},   // 35 = 18
    {{".X..", ".X..", ".X..", "...."}, true, false},   // 36 = 21
    {{".X..", ".X..", ".X..", ".X.."}, false, false},  // 37 = 26
    {{".X..", "XXX.", "....", "...."}, true, false},   // 38 = 27
    {{"....", ".XX.", "..X.", "...."}, false, true},   // 39 = 0
};

std::array<bool, 18> Description(const PieceEntry& entry)
{
    std::array<bool, 18> a{};
    for (int row = 0; row <= 3; ++row)
        for (int col = 0; col <= 3; ++col)
            a[row * 4 + col] = entry.rows[row][col] == 'X';
    a[frmBoard::Rotate3Flag] = entry.rotate3;
    a[frmBoard::StartHighFlag] = entry.startHigh;
    return a;
}

}  // namespace

void frmBoard::DetermineBlob()
{
    // 39.999999, not 40: the last entry gets a hair less than its share.
    const int n = static_cast<int>(plat::Int(double(plat::Rnd()) * 39.999999));
    SetpArray(Description(PieceTable[n]));
}

void frmBoard::SetpArray(const std::array<bool, 18>& a)
{
    for (int i = 0; i <= 17; ++i)
        pArray[i] = a[i];
}

void frmBoard::SetBlob1(int32_t backC, int32_t borderC, std::array<bool, 18>& p)
{
    // Colour all sixteen shapes.
    for (int i = 0; i <= 15; ++i) {
        plat::ShapeControl& cell = *BlobCell[i];
        cell.BackStyle = plat::vbTransparent;
        cell.BackColor = PaletteColor(backC);
        cell.FillStyle = plat::vbFSSolid;
        cell.FillColor = PaletteColor(backC);
        cell.BorderColor = PaletteColor(borderC);
    }

    // A random entry column between a third and two thirds of the board.
    const double m = plat::Int(double(Columns) / 3);
    const double L = m + plat::Int(m * double(plat::Rnd()));
    const int16_t x0 = CInt(L * Size);

    // Lay the frame; StartHigh pieces stand one row higher.
    for (int row = 0; row <= 3; ++row) {
        for (int col = 0; col <= 3; ++col) {
            plat::ShapeControl& cell = *BlobCell[row * 4 + col];
            cell.Top = I16(Size) * I16(row);
            if (p[StartHighFlag])
                cell.Top = cell.Top - Size;
            cell.Left = I16(Size) * I16(col) + I16(x0);
            cell.Visible = p[row * 4 + col];
        }
    }

    // The falling piece turns as its description says.
    Rotate3 = p[Rotate3Flag];

    // Mark every cell that overlaps the well, not just the first.
    bool blocked = false;
    for (int i = 0; i <= 15; ++i) {
        plat::ShapeControl& cell = *BlobCell[i];
        if (cell.Visible && Board(Column(cell), Row(cell)).Filled) {
            cell.BackColor = 255;
            cell.FillColor = 255;
            blocked = true;
        }
    }

    // A blocked entry keeps the next piece, its colour and its preview.
    if (blocked) {
        GameOver();
        return;
    }

    // Choose, colour and preview the next piece: p now describes it, since p
    // is pArray.
    DetermineBlob();
    NextRed = CInt(double(plat::Rnd()) * 100 + 55);
    NextGreen = CInt(double(plat::Rnd()) * 100 + 55);
    NextBlue = CInt(double(plat::Rnd()) * 155);
    SetPreview(plat::RGB(NextRed, NextGreen, NextBlue), 0xFFFFFF, p);
}

void frmBoard::SetPreview(int32_t backC, int32_t borderC, const std::array<bool, 18>& p)
{
    for (int i = 0; i <= 15; ++i) {
        plat::ShapeControl& shape = shpPreview(i);
        shape.Height = Size;
        shape.Width = Size;
        shape.BackStyle = plat::vbTransparent;
        shape.BackColor = PaletteColor(backC);
        shape.FillStyle = plat::vbFSSolid;
        shape.FillColor = PaletteColor(backC);
        shape.BorderColor = PaletteColor(borderC);
    }

    // A piece turning within 3 x 3 is centred in the four-by-six box; any
    // other stands one cell down against the left edge.
    for (int row = 0; row <= 3; ++row) {
        for (int col = 0; col <= 3; ++col) {
            plat::ShapeControl& shape = shpPreview(row * 4 + col);
            if (p[Rotate3Flag]) {
                shape.Top = float((row + 3.0 / 2) * Size);
                shape.Left = float((col + 1.0 / 2) * Size);
            } else {
                shape.Top = I16(Size) * I16(row) + I16(Size);
                shape.Left = I16(Size) * I16(col);
            }
            shape.Visible = p[row * 4 + col];
        }
    }
}
