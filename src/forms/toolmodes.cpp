// The four tool buttons, status panel 2, and the routing of the picture
// surface's mouse events to the active tool. Every mouse button acts as the left
// one, and modifier keys are not looked at.

#include "forms/frmmain.h"
#include "toolkit/statusbar.h"

namespace {
enum ToolMode : std::int16_t { None = 0, Cut = 1, Draw = 2, Text = 3, Erase = 4 };
}

void frmmain::selectTool(std::int16_t mode, const QString& name)
{
    toolmode = mode;
    statusbar->setPanel(2, name);
    statusbar->setPanel(1, QString());
    newact();
}

void frmmain::btmcut_Click()
{
    selectTool(Cut, QStringLiteral("Cutモード"));
}

void frmmain::btmdraw_Click()
{
    selectTool(Draw, QStringLiteral("Drawモード"));
}

void frmmain::btmtext_Click()
{
    selectTool(Text, QStringLiteral("Textモード"));
}

void frmmain::btmerase_Click()
{
    selectTool(Erase, QStringLiteral("Erazeモード"));
}

void frmmain::picmain_MouseDown(int, int, float x, float y)
{
    // A press that fails (a piece too large for memory) ends quietly; what was
    // done before the failing step stays done, and nothing leaves the event handler.
    try {
        switch (toolmode) {
        case Cut:
            cutMouseDown(x, y);
            break;
        case Draw:
            drawMouseDown(x, y);
            break;
        case Text:
            textMouseDown(x, y);
            break;
        case Erase:
            if (actstate == 0)
                eraseMouseDown(x, y);
            break;
        default:
            break;
        }
    } catch (...) {
    }
}

void frmmain::picmain_MouseMove(int, int, float x, float y)
{
    switch (toolmode) {
    case Cut:
        if (actstate == 1)
            cutMouseMove(x, y);
        break;
    case Draw:
        if (actstate == 1)
            drawMouseMove(x, y);
        break;
    case Text:
        textMouseMove(x, y);
        break;
    case Erase:
        if (actstate == 1)
            eraseMouseMove(x, y);
        break;
    default:
        break;
    }
}

void frmmain::picmain_MouseUp(int, int, float, float)
{
    if (toolmode == Draw)
        actstate = 0;
}
