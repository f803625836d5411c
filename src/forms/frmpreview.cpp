// The preview window and the main window's procedures that show it.

#include "forms/frmpreview.h"

#include "forms/controlname.h"
#include "toolkit/builtinpictures.h"
#include "toolkit/picturebox.h"
#include "toolkit/windowframe.h"
#include "units/twips.h"

#include <QPushButton>
#include <QShortcut>

namespace {

constexpr float kClientWidth = 2430;
constexpr float kClientHeight = 3180;
constexpr float kPictureTop = 720;
// Room around the picture for the frame and the button strip.
constexpr float kWidthMargin = 100;
constexpr float kHeightMargin = 1100;
constexpr float kMinWidth = 2550;
constexpr float kMinHeight = 3400;

} // namespace

frmpreview::frmpreview() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("frmpreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("プレビュー"));
    setWindowIcon(builtInIcon(QStringLiteral(":/snipwell.png")));
    resize(twips::toPixels(kClientWidth), twips::toPixels(kClientHeight));

    picpreview = named(new PictureBox(this, PictureBox::Border::FixedSingle), "picpreview");
    picpreview->Move(0, kPictureTop, 2415, 2415);
    picpreview->AutoSize = true;
    btmpreviewsave = named(new QPushButton(QStringLiteral("保存"), this), "btmpreviewsave");
    twips::move(btmpreviewsave, 120, 120, 990, 495);
    btmpreviewcancel =
        named(new QPushButton(QStringLiteral("キャンセル"), this), "btmpreviewcancel");
    twips::move(btmpreviewcancel, 1320, 120, 990, 495);
    setTabOrder(picpreview, btmpreviewsave);
    setTabOrder(btmpreviewsave, btmpreviewcancel);

    connect(btmpreviewsave, &QPushButton::clicked, this, &frmpreview::btmpreviewsave_Click);
    connect(btmpreviewcancel, &QPushButton::clicked, this, &frmpreview::btmpreviewcancel_Click);
    // Esc does what "キャンセル" does, wherever the focus is in the window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, btmpreviewcancel, &QPushButton::click);
}

void frmpreview::btmpreviewsave_Click()
{
    // Only the export: the settings file is written by the main window's buttons.
    emit saveClicked();
}

void frmpreview::btmpreviewcancel_Click()
{
    close();
}

QSizeF frmpreview::outerSizeFor(float pictureWidth, float pictureHeight)
{
    // The minimums are tested against the picture box, not against the window.
    const float width = pictureWidth < kMinWidth ? kMinWidth : pictureWidth + kWidthMargin;
    const float height = pictureHeight < kMinHeight ? kMinHeight : pictureHeight + kHeightMargin;
    return {width, height};
}

float frmpreview::outerWidth() const
{
    return twips::fromPixels(windowframe::outerSize(this).width());
}

float frmpreview::outerHeight() const
{
    return twips::fromPixels(windowframe::outerSize(this).height());
}

void frmpreview::setOuterSize(float width, float height)
{
    windowframe::resizeOuter(this, QSize(twips::toPixels(width), twips::toPixels(height)));
}

void frmpreview::showPiece(const QImage& piece)
{
    picpreview->setPicture(piece);
    fitToPicture();
    show();
    // Where the frame is known only once the window is shown, sized again at once.
    fitToPicture();
}

void frmpreview::fitToPicture()
{
    const QSizeF outer = outerSizeFor(picpreview->Width(), picpreview->Height());
    setOuterSize(static_cast<float>(outer.width()), static_cast<float>(outer.height()));
}
