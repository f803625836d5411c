// Opening a picture through "開く(&O)" and by dropping a file onto the viewport
// or the picture surface. The file is read before the surface is touched, so a
// file that cannot be opened leaves the current picture and its marks as they were.

#include "forms/frmmain.h"
#include "input/droppedfiles.h"
#include "input/pictureloader.h"
#include "toolkit/guards.h"
#include "toolkit/picturebox.h"
#include "toolkit/prompter.h"

#include <QApplication>

void frmmain::mopen_Click()
{
    loadnewpicture();
}

void frmmain::loadnewpicture()
{
    dialog.FileName = picpath;
    dialog.Filter = QStringLiteral("画像ファイル(*.jpg;*.bmp)|*.jpg;*.bmp");
    if (!dialog.ShowOpen())
        return;
    if (!loadPictureFile(LocalFileName::fromText(dialog.FileName)))
        return;
    picpath = dialog.FileName;
    setscrollrange();
}

void frmmain::base_OLEDragDrop(const QMimeData* data)
{
    dropPicture(data);
}

void frmmain::picmain_OLEDragDrop(const QMimeData* data)
{
    dropPicture(data);
}

void frmmain::dropPicture(const QMimeData* data)
{
    const std::optional<LocalFileName> name = firstLocalFile(data);
    if (name)
        openDroppedFile(*name);
}

void frmmain::openDroppedFile(const LocalFileName& name)
{
    if (loadPictureFile(name))
        setscrollrange();
}

bool frmmain::loadPictureFile(const LocalFileName& name)
{
    PictureLoad load;
    {
        const BusyCursor busy;
        load = loadPicture(name);
    }
    if (!load.ok()) {
        m_prompter.error(this,
                         QStringLiteral("画像を開けません: %1\n%2").arg(name.shown(), load.error));
        return false;
    }
    picmain->Move(0, 0, 0, 0);
    picmain->setPicture(load.image);
    return true;
}
