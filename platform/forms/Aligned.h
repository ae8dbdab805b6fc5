#pragma once
// Controls that stick to an edge of their form's client area (the toolbar
// along the top, the status bar along the bottom). The form places them
// whenever its client area changes; they stay inside the client area, so
// ScaleTop and ScaleHeight still describe the whole of it and the form's
// own code places its other controls around them.

namespace plat {

enum AlignConstants : int { vbAlignNone = 0, vbAlignTop = 1, vbAlignBottom = 2 };

class AlignedControl {
public:
    virtual int Align() const = 0;

protected:
    ~AlignedControl() = default;
};

}  // namespace plat
