// The Erase tool: once switched on by a press, every pointer move puts the
// loaded picture's own pixels back in the square right of and below the pointer.

#include "forms/frmmain.h"
#include "toolkit/picturebox.h"

namespace {

// The eraser's side in twips (13 1/3 pixels, which the surface takes as 13).
constexpr float kEraserSide = 200;

} // namespace

void frmmain::eraseMouseDown(float x, float y)
{
    // A press while the eraser is on changes nothing: only a tool button stops it.
    if (actstate != 0)
        return;
    actstate = 1;
    startx = x;
    starty = y;
}

void frmmain::eraseMouseMove(float x, float y)
{
    endx = x;
    endy = y;
    picmain->PaintPicture(picmain->picture(), x, y, x, y, kEraserSide, kEraserSide);
}
