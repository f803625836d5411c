// The two menu commands that open the small windows. Each disables the main
// window and the other small windows first, so that the user works in the
// opened one alone; it enables them again when it closes.

#include "forms/frmabout.h"
#include "forms/frmmain.h"
#include "forms/frmoption.h"
#include "forms/frmpreview.h"
#include "forms/smallwindow.h"

void frmmain::moption_Click()
{
    if (!option)
        loadsetting(); // brings the dialog into being with the file's values
    smallwindow::setEnabled({this, preview.data(), about.data()}, false);
    smallwindow::showAbove(option, this);
}

void frmmain::mversion_Click()
{
    smallwindow::setEnabled({this, option, preview.data()}, false);
    if (!about)
        about = new frmAbout(*this);
    smallwindow::showAbove(about, this);
}
