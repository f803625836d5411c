// PLACEHOLDER: to be built.
#include "shell/frmmain.h"

void frmmain::mopen_Click() {}
void frmmain::loadnewpicture() {}
void frmmain::base_OLEDragDrop(const QMimeData*) {}
void frmmain::picmain_OLEDragDrop(const QMimeData*) {}
bool frmmain::loadPictureFile(const QString&)
{
    return false;
}
void frmmain::dropPicture(const QMimeData*) {}
