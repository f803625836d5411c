// The four tool buttons, status panel 2, the routing of the picture surface's
// mouse events to the active tool, and what the tools show through the main
// window's controls: the selection frame, the text preview, the readout.

#include "forms/frmmain.h"
#include "forms/frmpreview.h"
#include "toolkit/picturebox.h"
#include "toolkit/shape.h"
#include "toolkit/statusbar.h"

#include <QLabel>
#include <QLineEdit>

void frmmain::selectTool(ToolMode mode)
{
    m_toolmode = mode;
    m_tool = makeTool(mode, m_document, *this);
    statusbar->setPanel(2, m_tool ? m_tool->modeName() : QString());
    statusbar->setPanel(1, QString());
    newact();
}

void frmmain::btmcut_Click()
{
    selectTool(ToolMode::Cut);
}

void frmmain::btmdraw_Click()
{
    selectTool(ToolMode::Draw);
}

void frmmain::btmtext_Click()
{
    selectTool(ToolMode::Text);
}

void frmmain::btmerase_Click()
{
    selectTool(ToolMode::Erase);
}

void frmmain::picmain_MouseDown(int, int, float x, float y)
{
    // A press that fails (a piece too large for memory) ends quietly; what was
    // done before the failing step stays done, and nothing leaves the event handler.
    try {
        if (m_tool)
            m_tool->press(picmain->toPicture(x, y));
    } catch (...) {
    }
}

void frmmain::picmain_MouseMove(int, int, float x, float y)
{
    if (m_tool)
        m_tool->move(picmain->toPicture(x, y));
}

void frmmain::picmain_MouseUp(int, int, float x, float y)
{
    if (m_tool)
        m_tool->release(picmain->toPicture(x, y));
}

void frmmain::showFrame(const QRectF& area)
{
    m_frame = area;
    cutimage->setRect(picmain->fromPicture(area));
}

void frmmain::showTextPreview(const TextPreview& preview)
{
    m_textPreview = preview;
    textimage->setText(preview.text);
    QPalette palette = textimage->palette();
    palette.setColor(QPalette::WindowText, preview.color);
    textimage->setPalette(palette);
    // The preview shows the text as large as it will stand on the picture.
    QFont font = preview.font;
    if (picmain->zoom() != 1)
        font.setPointSizeF(font.pointSizeF() * picmain->zoom());
    textimage->setFont(font);
    QRect place = picmain->fromPicture(QRectF(preview.topLeft, preview.box));
    // A very long text must not ask for a label wider than a widget can be.
    place.setWidth(std::min(place.width(), QWIDGETSIZE_MAX));
    textimage->setGeometry(place);
}

void frmmain::showReadout(const QString& text)
{
    statusbar->setPanel(1, text);
}

void frmmain::pieceCut()
{
    if (preview && preview->isVisible())
        previewreload();
}

ToolSettings frmmain::toolSettings() const
{
    return ToolSettings{dialog.Color, dialog.FontName, dialog.FontSize, dialog.FontBold,
                        dialog.FontItalic};
}

QString frmmain::text() const
{
    return textbox->text();
}

QSizeF frmmain::textResolution() const
{
    const QWidget* surface = picmain->client();
    return QSizeF(surface->logicalDpiX(), surface->logicalDpiY());
}
