#include "tools/erasetool.h"

#include "document/picturedocument.h"
#include "units/twips.h"

namespace {
constexpr float kEraserSideTwips = 200;
}

QString EraseTool::modeName() const
{
    return QStringLiteral("Erazeモード");
}

int EraseTool::side()
{
    return twips::toPixels(kEraserSideTwips);
}

void EraseTool::press(QPointF)
{
    // A press while the eraser is on changes nothing for the user, but what
    // was erased until then is taken back as one run, and a new run begins.
    m_on = true;
    document().beginMark();
}

void EraseTool::reset()
{
    if (m_on)
        document().endMark();
    m_on = false;
}

void EraseTool::move(QPointF at)
{
    if (!m_on)
        return;
    const auto whole = [](double value) { return static_cast<int>(twips::roundHalfEven(value)); };
    document().erase(QRect(whole(at.x()), whole(at.y()), side(), side()));
}
