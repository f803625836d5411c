// The Cut tool: a press anchors the selection, the frame follows the pointer
// with the size readout in status panel 1, and a second press copies that
// rectangle of the shown image into the piece store `cuttedpic`. The piece store
// has no border, so the piece is exactly the selection.

#include "forms/frmmain.h"
#include "forms/frmpreview.h"
#include "toolkit/picturebox.h"
#include "toolkit/shape.h"
#include "toolkit/statusbar.h"
#include "units/twips.h"

#include <QClipboard>
#include <QGuiApplication>
#include <cmath>
#include <optional>
#include <utility>

namespace {

struct CutRect
{
    float left;
    float top;
    float width;
    float height;
};

// The direction of the corner from the anchor; none when it lies on the
// anchor's row or column.
std::optional<std::int16_t> directionOf(float startX, float startY, float endX, float endY)
{
    if (endX > startX && endY > startY)
        return 0;
    if (endX < startX && endY > startY)
        return 1;
    if (endX > startX && endY < startY)
        return 2;
    if (endX < startX && endY < startY)
        return 3;
    return std::nullopt;
}

CutRect rectOf(std::int16_t direction, float startX, float startY, float endX, float endY)
{
    switch (direction) {
    case 1:
        return {endX, startY, startX - endX, endY - startY};
    case 2:
        return {startX, endY, endX - startX, startY - endY};
    case 3:
        return {endX, endY, startX - endX, startY - endY};
    default:
        return {startX, startY, endX - startX, endY - startY};
    }
}

} // namespace

void frmmain::cutMouseDown(float x, float y)
{
    if (actstate == 0) {
        startx = x;
        starty = y;
        cutimage->Move(0, 0, 0, 0);
        actstate = 1;
        return;
    }

    actstate = 0;
    cuttedpic->Cls();
    // Positions left of or above the surface count as its edge.
    endx = std::max(x, 0.0f);
    endy = std::max(y, 0.0f);
    dragdir = directionOf(startx, starty, endx, endy).value_or(0);
    const CutRect cut = rectOf(dragdir, startx, starty, endx, endy);
    // A press on the anchor's row or column before it: the cut ends with the
    // piece cleared at its old size.
    if (cut.width < 0 || cut.height < 0)
        return;

    cuttedpic->Move(0, 0, cut.width, cut.height);
    const QSize pieceSize = cuttedpic->innerSize();
    if (pieceSize.isEmpty()) {
        cuttedpic->setImage(QImage());
    } else {
        QImage blank(pieceSize, QImage::Format_RGB32);
        blank.fill(cuttedpic->BackColor);
        // Handed over, not shared: a second owner would make the copy below
        // copy the whole blank piece first.
        cuttedpic->setImage(std::exchange(blank, QImage()));
        cuttedpic->PaintPicture(picmain->image(), 0, 0, cut.left, cut.top, cut.width, cut.height);
    }
    actstate = 0;
    if (preview && preview->isVisible())
        previewreload();
}

void frmmain::cutMouseMove(float x, float y)
{
    endx = std::max(x, 0.0f);
    endy = std::max(y, 0.0f);
    const std::optional<std::int16_t> direction = directionOf(startx, starty, endx, endy);
    if (!direction)
        return;
    dragdir = *direction;
    const CutRect cut = rectOf(dragdir, startx, starty, endx, endy);
    cutimage->Move(cut.left, cut.top, cut.width, cut.height);

    // The readout is in screen pixels, computed in single precision.
    const float tx = twips::perPixel;
    const float ty = twips::perPixel;
    const float w = std::fabs(startx / tx - endx / tx);
    const float h = std::fabs(starty / ty - endy / ty);
    statusbar->setPanel(1, QStringLiteral("(") + twips::formatSingle(w) + QStringLiteral(",") +
                               twips::formatSingle(h) + QStringLiteral(")"));
}

void frmmain::btmpaste_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(cuttedpic->image());
}
