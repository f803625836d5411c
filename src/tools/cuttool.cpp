#include "tools/cuttool.h"

#include "document/picturedocument.h"
#include "units/twips.h"

#include <cmath>

namespace {

// Positions left of or above the surface count as its edge; beyond the right
// or bottom edge they stay as they are.
QPointF clampedToOrigin(QPointF at)
{
    return QPointF(std::max(at.x(), 0.0), std::max(at.y(), 0.0));
}

} // namespace

QString CutTool::modeName() const
{
    return QStringLiteral("Cutモード");
}

std::optional<std::int16_t> CutTool::directionOf(QPointF anchor, QPointF corner)
{
    if (corner.x() > anchor.x() && corner.y() > anchor.y())
        return 0;
    if (corner.x() < anchor.x() && corner.y() > anchor.y())
        return 1;
    if (corner.x() > anchor.x() && corner.y() < anchor.y())
        return 2;
    if (corner.x() < anchor.x() && corner.y() < anchor.y())
        return 3;
    return std::nullopt;
}

QRectF CutTool::rectOf(std::int16_t direction, QPointF anchor, QPointF corner)
{
    const QPointF a = anchor;
    const QPointF c = corner;
    switch (direction) {
    case 1:
        return QRectF(c.x(), a.y(), a.x() - c.x(), c.y() - a.y());
    case 2:
        return QRectF(a.x(), c.y(), c.x() - a.x(), a.y() - c.y());
    case 3:
        return QRectF(c.x(), c.y(), a.x() - c.x(), a.y() - c.y());
    default:
        return QRectF(a.x(), a.y(), c.x() - a.x(), c.y() - a.y());
    }
}

void CutTool::press(QPointF at)
{
    if (!m_anchored) {
        m_start = at;
        view().showFrame(QRectF());
        m_anchored = true;
        return;
    }
    complete(at);
}

void CutTool::complete(QPointF at)
{
    m_anchored = false;
    // The cut, even one that only clears the piece, is taken back as one.
    document().beginMark();
    document().clearPiece();
    m_end = clampedToOrigin(at);
    m_direction = directionOf(m_start, m_end).value_or(0);
    const QRectF cut = rectOf(m_direction, m_start, m_end);
    // A press on the anchor's row or column before it: the cut ends with the
    // piece cleared at its old size.
    if (cut.width() < 0 || cut.height() < 0) {
        document().endMark();
        return;
    }
    const auto whole = [](double value) { return static_cast<int>(twips::roundHalfEven(value)); };
    document().cut(QRect(whole(cut.x()), whole(cut.y()), whole(cut.width()), whole(cut.height())));
    document().endMark();
    view().pieceCut();
}

void CutTool::move(QPointF at)
{
    if (!m_anchored)
        return;
    m_end = clampedToOrigin(at);
    const std::optional<std::int16_t> direction = directionOf(m_start, m_end);
    if (!direction)
        return;
    m_direction = *direction;
    view().showFrame(rectOf(m_direction, m_start, m_end));
    // The readout counts pixels, in single precision.
    const auto span = [](double from, double to) {
        return std::fabs(static_cast<float>(from) - static_cast<float>(to));
    };
    view().showReadout(
        QStringLiteral("(%1,%2)").arg(twips::formatSingle(span(m_start.x(), m_end.x())),
                                      twips::formatSingle(span(m_start.y(), m_end.y()))));
}
