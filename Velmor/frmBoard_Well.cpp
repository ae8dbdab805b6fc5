// The well: its array of cells, the pool of squares that draws it, and its
// set-up at the start of every game.
#include "Velmor/frmBoard.h"
#include "Velmor/modVelmor.h"
#include "platform/runtime/Numeric.h"
#include "platform/runtime/Rnd.h"

using namespace modVelmor;
using plat::CInt;
using plat::I16;

int32_t frmBoard::PaletteColor(int32_t c)
{
    return c | 0x2000000;
}

int frmBoard::Column(const plat::ShapeControl& shape) const
{
    return static_cast<int>(plat::Int(double(shape.Left) / Size));
}

int frmBoard::Row(const plat::ShapeControl& shape) const
{
    return static_cast<int>(plat::Int(double(shape.Top) / Size));
}

int16_t frmBoard::SquareIndex(int16_t rows, int x, int y)
{
    return I16(x) * (I16(rows) + I16(1)) + I16(y);
}

int16_t frmBoard::CellPlace(int16_t size, int n)
{
    return I16(size) * I16(n);
}

void frmBoard::SetupBoard()
{
    // Style of the whole pool.
    for (int i = shpSquare.LBound(); i <= shpSquare.UBound(); ++i) {
        plat::ShapeControl& square = shpSquare(i);
        square.BackStyle = plat::vbTransparent;
        square.FillStyle = plat::vbFSSolid;
        square.BorderColor = PaletteColor(0xFFFFFF);
        square.Shape = plat::vbShapeRoundedRectangle;
    }

    // Binding and clearing, column by column. The stride is Rows + 1, so
    // (x, Rows + 1) and (x + 1, 0) share a square; nothing ever shows row Rows + 1.
    const int lastColumn = Columns;
    const int lastRow = Rows + 1;
    for (int x = 0; x <= lastColumn; ++x) {
        for (int y = 0; y <= lastRow; ++y) {
            BoardCell& cell = Board(x, y);
            cell.Square = &shpSquare(SquareIndex(Rows, x, y));
            cell.Filled = false;
            cell.Square->Visible = false;
            cell.Square->Top = CellPlace(Size, y);
            cell.Square->Left = CellPlace(Size, x);
            cell.Square->Width = Size;
            cell.Square->Height = Size;
        }
    }

    // Walls, four columns on each side.
    const int wallRows = Rows;
    for (int y = 0; y <= wallRows; ++y) {
        for (int x : {0, 1, 2, 3, Columns - 0, Columns - 1, Columns - 2, Columns - 3})
            Board(x, y).Filled = true;
    }

    // The floor, plain white.
    for (int x = 0; x <= lastColumn; ++x) {
        BoardCell& cell = Board(x, Rows);
        cell.Square->FillColor = 0xFFFFFF;
        cell.Square->BorderColor = 0xFFFFFF;
        cell.Square->Visible = true;
        cell.Filled = true;
    }

    // Two starter blocks in the three rows above the floor; five draws each.
    for (int k = 1; k <= 2; ++k) {
        const int16_t x = CInt((Columns - 9) * double(plat::Rnd()) + 4);
        const int16_t y = CInt(2 * double(plat::Rnd()) + Rows - 3);
        BoardCell& cell = Board(x, y);
        cell.CellColumn = x;
        cell.CellRow = y;
        cell.Filled = true;
        cell.CellSize = Size;
        const int16_t red = CInt(double(plat::Rnd()) * 55 + 100);
        const int16_t green = CInt(double(plat::Rnd()) * 155);
        const int16_t blue = CInt(double(plat::Rnd()) * 55 + 100);
        cell.Square->FillColor = PaletteColor(plat::RGB(red, green, blue));
        cell.Square->Visible = true;
    }
}
