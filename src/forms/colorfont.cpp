// The colour and font buttons: both ask through the common dialog, which keeps
// the choice for the Draw and Text tools to read at their next use.

#include "forms/frmmain.h"
#include "toolkit/picturebox.h"

#include <QLineEdit>

namespace {

// The font dialog lists the screen fonts only.
constexpr int kScreenFonts = 1;

} // namespace

void frmmain::btmcolor_Click()
{
    if (!dialog.ShowColor())
        return;
    // The text box shows its text in the colour it will be printed in.
    QPalette palette = textbox->palette();
    palette.setColor(QPalette::Text, dialog.Color);
    textbox->setPalette(palette);
}

void frmmain::btmfont_Click()
{
    dialog.Flags = kScreenFonts;
    if (!dialog.ShowFont())
        return;
    // Size, bold and italic reach the surface at each placement; the face stays.
    if (!dialog.FontName.isEmpty())
        picmain->Font.setFamily(dialog.FontName);
}
