// The menu commands that open the small windows. The options dialog and the
// About box keep every other window from taking input while they are shown
// (the window discipline); the preview window never does.

#include "forms/frmabout.h"
#include "forms/frmmain.h"
#include "forms/frmoption.h"
#include "forms/frmpreview.h"
#include "forms/smallwindow.h"
#include "forms/windowdiscipline.h"
#include "toolkit/guards.h"

QWidget* frmmain::optionWindow() const
{
    return option;
}

QWidget* frmmain::previewWindow() const
{
    return preview.data();
}

QWidget* frmmain::aboutWindow() const
{
    return about.data();
}

void frmmain::moption_Click()
{
    m_discipline->opened(option);
    smallwindow::showAbove(option, this);
}

void frmmain::mversion_Click()
{
    if (!about) {
        about = new frmAbout;
        connect(about, &frmAbout::unloaded, this, [this] { m_discipline->closed(about); });
    }
    m_discipline->opened(about);
    smallwindow::showAbove(about, this);
}

void frmmain::previewreload()
{
    if (!preview) {
        preview = new frmpreview;
        // Only the export: the settings file is written by the main window's buttons.
        connect(preview, &frmpreview::saveClicked, this,
                [this] { runGuarded([this] { savepicture(); }); });
    }
    preview->showPiece(m_document.cuttedpic().image());
}

void frmmain::mpreview_Click()
{
    runGuarded([this] {
        previewreload();
        preview->raise();
        preview->activateWindow();
    });
}
