#pragma once
// The setup dialog "Velmor Setup": the well's width and height and the cell
// size, written to the game settings for the next start of the program. It
// keeps its own window state and position in the sections "Start" and
// "Options".

#include "platform/forms/ComboBox.h"
#include "platform/forms/CommandButton.h"
#include "platform/forms/Form.h"
#include "platform/forms/Label.h"
#include "platform/forms/ScrollBar.h"
#include "platform/forms/Shape.h"

#include <cstdint>

class frmOptions : public plat::Form {
public:
    frmOptions();
    ~frmOptions() override;

    // Controls, the windowed ones in tab order.
    plat::Label Label3;
    plat::Label lblMin;
    plat::Label lblmax;
    plat::Label Label1;
    plat::Label Label2;
    plat::ComboBox cboRows;
    plat::ComboBox cboColumns;
    plat::HScrollBar HScrollSize;
    plat::CommandButton cmdSaveExit;
    plat::CommandButton cmdRestartGame;
    plat::CommandButton cmdCancel;
    plat::ShapeControl Shape1;
    plat::ShapeControl Shape2;
    plat::ShapeControl Shape3;
    plat::ShapeControl Shape4;
    plat::ShapeControl Shape5;
    plat::ShapeControl Shape6;
    plat::ShapeControl Shape7;
    plat::ShapeControl Shape8;
    plat::ShapeControl Shape9;
    plat::ShapeControl Shape10;

    // Set only by "Cancel": the close then writes the placement alone.
    bool Cancelled = false;

    // The well's dimensions as this dialog shows them ("Size", "Columns" + 8,
    // "Rows" + 1). The load reads the stored values into these rather than
    // into the game's own Size, Columns and Rows: the running well was built
    // with those and keeps them until the next start.
    int16_t ShownSize = 0;
    int16_t ShownColumns = 0;
    int16_t ShownRows = 0;

    void cmdSaveExit_Click();
    void cmdCancel_Click();
    void cmdRestartGame_Click();

protected:
    void Design() override;
    void Form_Load() override;
    void Form_QueryUnload(int16_t& Cancel, int16_t UnloadMode) override;
    void Form_Unload(int16_t& Cancel) override;

private:
    void CheckLimits();
    void SaveOptions();
};
