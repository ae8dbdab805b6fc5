#pragma once
// The Move of forms and controls: place and size in one step.

namespace plat {

// Sets Left and Top, and Width and Height unless negative (those keep the
// current size).
template <class Placed>
void MoveObject(Placed& object, float left, float top, float width, float height)
{
    object.Left = left;
    object.Top = top;
    if (width >= 0)
        object.Width = width;
    if (height >= 0)
        object.Height = height;
}

}  // namespace plat
