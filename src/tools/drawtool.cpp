#include "tools/drawtool.h"

#include "document/picturedocument.h"
#include "units/twips.h"

#include <algorithm>

QString DrawTool::modeName() const
{
    return QStringLiteral("Drawモード");
}

int DrawTool::penWidth(float fontSize)
{
    return std::max(1, twips::toInt32(static_cast<double>(fontSize)).value_or(1));
}

void DrawTool::press(QPointF at)
{
    // The press itself draws nothing: a press and release in place leave no dot.
    // The stroke, from here to the release, is taken back as one.
    document().beginMark();
    m_stroking = true;
    m_last = at;
}

void DrawTool::release(QPointF)
{
    m_stroking = false;
    document().endMark();
}

void DrawTool::reset()
{
    if (m_stroking)
        document().endMark();
    m_stroking = false;
}

void DrawTool::move(QPointF at)
{
    if (!m_stroking)
        return;
    const ToolSettings settings = view().toolSettings();
    document().drawSegment(m_last, at, Pen{settings.color, penWidth(settings.fontSize)});
    m_last = at;
}
