#pragma once
// The game's about box: the logo, the name and release, a rights notice and
// a contact note over the board's wall picture. It has no button; its close
// box closes it.

#include "platform/forms/Form.h"
#include "platform/forms/Image.h"
#include "platform/forms/Label.h"
#include "platform/forms/Shape.h"

class frmAbout : public plat::Form {
public:
    frmAbout();
    ~frmAbout() override;

    plat::Image Image1;
    plat::ShapeControl Shape1;
    plat::Label Label1;
    plat::Label Label4;
    plat::Label Label2;
    plat::Label Label3;

protected:
    void Design() override;
    void Form_Load() override;
};
