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
#include <QDir>

void frmmain::mopen_Click()
{
    loadnewpicture();
}

void frmmain::loadnewpicture()
{
    dialog.FileName = m_settings.picpath;
    dialog.Filter = QStringLiteral("画像ファイル(*.jpg;*.bmp)|*.jpg;*.bmp");
    if (!dialog.ShowOpen())
        return;
    if (!loadPictureFile(dialog.FileName))
        return;
    m_settings.picpath = dialog.FileName;
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
    const std::optional<QString> path = firstLocalFile(data);
    if (path)
        openDroppedFile(*path);
}

void frmmain::openDroppedFile(const QString& path)
{
    if (loadPictureFile(path))
        setscrollrange();
}

bool frmmain::loadPictureFile(const QString& path)
{
    PictureLoad load;
    {
        const BusyCursor busy;
        load = loadPicture(path);
    }
    if (!load.ok()) {
        m_prompter.error(this, QStringLiteral("画像を開けません: %1\n%2")
                                   .arg(QDir::toNativeSeparators(path), load.error));
        return false;
    }
    picmain->Move(0, 0, 0, 0);
    m_document.setPicture(load.image);
    return true;
}
