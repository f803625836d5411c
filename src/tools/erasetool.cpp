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

void EraseTool::move(QPointF at)
{
    if (!m_on)
        return;
    const auto whole = [](double value) { return static_cast<int>(twips::roundHalfEven(value)); };
    document().erase(QRect(whole(at.x()), whole(at.y()), side(), side()));
}
