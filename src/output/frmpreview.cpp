#include "output/frmpreview.h"

#include "shell/frmmain.h"

// PLACEHOLDER: to be built.
frmpreview::frmpreview(frmmain& main) : m_main(main) {}
void frmpreview::btmpreviewsave_Click() {}
void frmpreview::btmpreviewcancel_Click() {}
void frmmain::previewreload() {}
void frmmain::mpreview_Click() {}
