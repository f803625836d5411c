// Opening a picture through "開く(&O)", by dropping a file (or a picture's
// pixels) onto the viewport or the picture surface, and from the clipboard.
// The file is read before the surface is touched, so a file that cannot be
// opened leaves the current picture and its marks as they were.

#include "forms/frmmain.h"
#include "forms/loadingview.h"
#include "input/droppedfiles.h"
#include "input/pictureloader.h"
#include "input/pictureloading.h"
#include "toolkit/exposure.h"
#include "toolkit/guards.h"
#include "toolkit/picturebox.h"
#include "toolkit/prompter.h"
#include "toolkit/statusbar.h"

#include <QApplication>
#include <QClipboard>

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
    if (!loadPictureFile(LocalFileName::fromText(dialog.FileName)))
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
    if (const std::optional<LocalFileName> name = firstLocalFile(data))
        openDroppedFile(*name);
    else if (const std::optional<QImage> pixels = carriedImage(data))
        showNewPicture(*pixels);
}

void frmmain::pastePicture()
{
    const std::optional<QImage> pixels = carriedImage(QGuiApplication::clipboard()->mimeData());
    if (!pixels) {
        statusbar->flash(1, QStringLiteral("クリップボードに画像がありません"));
        return;
    }
    showNewPicture(*pixels);
}

void frmmain::showNewPicture(const QImage& picture)
{
    putPicture(picture);
    setscrollrange();
}

void frmmain::putPicture(const QImage& picture)
{
    // A new picture stands at the viewport's top-left corner at its own size.
    picmain->setZoom(1);
    picmain->Move(0, 0, 0, 0);
    m_document.setPicture(picture);
}

void frmmain::openDroppedFile(const LocalFileName& name)
{
    if (loadPictureFile(name))
        setscrollrange();
}

bool frmmain::loadPictureFile(const LocalFileName& name)
{
    PictureLoading loading(name, pictureRoom());
    return showLoaded(loading);
}

bool frmmain::showLoaded(PictureLoading& loading, const std::function<void()>& whenViewFilled)
{
    // The picture shows as it decodes; a load that fails puts the surface back.
    LoadingView view(*picmain);
    PictureLoad load;
    {
        const BusyCursor busy;
        load = view.follow(loading, whenViewFilled);
    }
    if (!load.ok()) {
        view.restore();
        m_prompter.error(
            this,
            QStringLiteral("画像を開けません: %1\n%2").arg(loading.name().shown(), load.error));
        return false;
    }
    putPicture(load.image);
    view.loaded();
    return true;
}

void frmmain::openLoading(PictureLoading& loading)
{
    if (showLoaded(loading, [this] { showWithoutInput(*this); }))
        setscrollrange();
}
