// The Text tool: a preview label that follows the pointer, and a press that
// prints the text box's text onto the shown image where the preview stands.

#include "forms/frmmain.h"
#include "toolkit/picturebox.h"
#include "units/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace {

// The preview's corner and the print position sit this far right of and below
// the pointer, so the pointer itself stays just outside the preview.
constexpr float kTextOffset = 10;
// Twips of preview box per point of size and character.
constexpr double kBoxPerPoint = 70;

// Text is shown and printed at twice the chosen size.
void setTextSize(QFont& font, float fontSize)
{
    if (fontSize > 0)
        font.setPointSizeF(2.0 * static_cast<double>(fontSize));
}

} // namespace

void frmmain::textMouseMove(float x, float y)
{
    const QString text = textbox->text();
    textimage->setText(text);

    QFont font = textimage->font();
    setTextSize(font, dialog.FontSize);
    QPalette palette = textimage->palette();
    palette.setColor(QPalette::WindowText, dialog.Color);
    textimage->setPalette(palette);
    font.setItalic(dialog.FontItalic);
    font.setBold(dialog.FontBold);
    // Until a face is chosen the name is empty; the preview then keeps its own face.
    if (!dialog.FontName.isEmpty())
        font.setFamily(dialog.FontName);
    textimage->setFont(font);

    const double size = static_cast<double>(dialog.FontSize);
    const double width = size * static_cast<double>(text.size()) * kBoxPerPoint;
    const float height = dialog.FontSize * static_cast<float>(kBoxPerPoint);
    // A very long text must not ask for a label wider than a widget can be.
    const double widest = static_cast<double>(twips::fromPixels(QWIDGETSIZE_MAX));
    twips::move(textimage, x + kTextOffset, y + kTextOffset,
                static_cast<float>(std::clamp(width, 0.0, widest)), std::max(0.0f, height));
}

void frmmain::textMouseDown(float x, float y)
{
    picmain->CurrentX = x + kTextOffset;
    picmain->CurrentY = y + kTextOffset;
    picmain->ForeColor = dialog.Color;
    picmain->Font.setItalic(dialog.FontItalic);
    picmain->Font.setBold(dialog.FontBold);
    setTextSize(picmain->Font, dialog.FontSize);
    picmain->Print(textbox->text());
}
