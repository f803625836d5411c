// The Draw tool: a stroke from press to release, one straight segment per
// pointer move, in the colour and width chosen at the moment of each segment.

#include "forms/frmmain.h"
#include "toolkit/picturebox.h"
#include "units/twips.h"

#include <algorithm>

namespace {

// The pen is the font size in whole pixels, halves to even; a size below one
// half would give no pen at all, so the thinnest pen is one pixel.
int penWidth(float fontSize)
{
    const auto width = twips::toInt32(static_cast<double>(fontSize));
    return std::max(1, width.value_or(1));
}

} // namespace

void frmmain::drawMouseDown(float x, float y)
{
    actstate = 1;
    startx = x;
    starty = y;
}

void frmmain::drawMouseMove(float x, float y)
{
    endx = x;
    endy = y;
    picmain->ForeColor = dialog.Color;
    picmain->DrawWidth = penWidth(dialog.FontSize);
    picmain->Line(startx, starty, endx, endy);
    startx = x;
    starty = y;
}
