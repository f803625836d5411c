// The colour and font buttons, and the copy of the piece to the clipboard. The
// colour and font are asked through the common dialog, which keeps the choice
// for the Draw and Text tools to read at their next use.

#include "forms/frmmain.h"

#include <QClipboard>
#include <QGuiApplication>
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
    // The chosen face, size, bold and italic reach the picture at each placement.
    dialog.ShowFont();
}

void frmmain::btmpaste_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(m_document.cuttedpic().image());
}
