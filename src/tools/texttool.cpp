#include "tools/texttool.h"

#include "document/picturedocument.h"
#include "units/twips.h"

namespace {

// The pointer stays just outside the preview: it stands this far right of and
// below the pointer.
constexpr double kOffsetTwips = 10;
// Twips of preview box per point of size and character.
constexpr double kBoxPerPoint = 70;

} // namespace

QString TextTool::modeName() const
{
    return QStringLiteral("Textモード");
}

QFont TextTool::fontOf(const ToolSettings& settings)
{
    QFont font;
    if (!settings.fontName.isEmpty())
        font.setFamily(settings.fontName);
    if (settings.fontSize > 0)
        font.setPointSizeF(2.0 * static_cast<double>(settings.fontSize));
    font.setBold(settings.bold);
    font.setItalic(settings.italic);
    return font;
}

QSizeF TextTool::previewBox(const ToolSettings& settings, const QString& text)
{
    const double size = static_cast<double>(settings.fontSize);
    const double width = size * static_cast<double>(text.size()) * kBoxPerPoint;
    const float height = settings.fontSize * static_cast<float>(kBoxPerPoint);
    return QSizeF(twips::toPixelsF(std::max(0.0, width)),
                  twips::toPixelsF(std::max(0.0, static_cast<double>(height))));
}

QPointF TextTool::placeFor(QPointF at)
{
    const double offset = twips::toPixelsF(kOffsetTwips);
    return at + QPointF(offset, offset);
}

void TextTool::move(QPointF at)
{
    const ToolSettings settings = view().toolSettings();
    const QString text = view().text();
    view().showTextPreview(TextPreview{placeFor(at), previewBox(settings, text), text,
                                       fontOf(settings), settings.color});
}

void TextTool::press(QPointF at)
{
    const ToolSettings settings = view().toolSettings();
    document().beginMark();
    document().printText(placeFor(at), view().text(),
                         TextStyle{fontOf(settings), settings.color, view().textResolution()});
    document().endMark();
}
