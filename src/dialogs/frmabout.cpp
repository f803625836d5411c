#include "dialogs/frmabout.h"

#include "shell/frmmain.h"

#include <QCloseEvent>

// PLACEHOLDER: to be built.
frmAbout::frmAbout(frmmain& main) : m_main(main) {}
void frmAbout::cmdOK_Click() {}
void frmAbout::Form_Unload() {}
void frmAbout::closeEvent(QCloseEvent* event)
{
    event->accept();
}
