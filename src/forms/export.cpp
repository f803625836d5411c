// The JPEG export: "保存" on the tool strip, in the File menu and in the
// preview window. It asks for the file, reads the quality and the progressive
// flag from the options dialog and hands the piece to the JPEG library.

#include "forms/export.h"

#include "forms/frmmain.h"
#include "forms/frmoption.h"
#include "jpeg/exportrules.h"
#include "jpeg/jpeglibrary.h"
#include "toolkit/guards.h"
#include "toolkit/picturebox.h"
#include "toolkit/prompter.h"
#include "units/twips.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>

namespace {

// The quality and flag the options dialog starts with, used while it does not exist yet.
const QString kDefaultQuality = QStringLiteral("50");

// A typed text as a message quotes it: one line, and not longer than a message box.
QString shownInMessage(const QString& text)
{
    constexpr qsizetype kMaxShown = 40;
    QString shown = text.simplified();
    if (shown.size() > kMaxShown)
        shown = shown.left(kMaxShown) + QStringLiteral("…");
    return shown;
}

} // namespace

namespace output {

QImage pieceImage(const PictureBox& store)
{
    if (!store.image().isNull())
        return store.image();
    // The box's own size is current even while it is hidden, unlike its inner area's.
    const int border = 2 * store.borderWidth();
    const QSize size = store.size() - QSize(border, border);
    if (size.isEmpty())
        return {};
    QImage blank(size, QImage::Format_RGB32);
    blank.fill(store.BackColor);
    return blank;
}

} // namespace output

void frmmain::savepicture()
{
    dialog.Filter = QStringLiteral("jpegファイル(*.jpg)|*.jpg|全てのファイル|*.*");
    if (!dialog.ShowSave())
        return;
    const QString target = dialog.FileName;
    // As the desktop's editors do: a read-only file is not replaced, not even after a question.
    if (jpeg::isReadOnlyFile(target)) {
        prompter().error(this, QStringLiteral("「%1」は読み取り専用のため置き換えられません。\n"
                                              "別の名前で保存してください。")
                                   .arg(QFileInfo(target).fileName()));
        return;
    }
    if (QFileInfo::exists(target) &&
        !prompter().confirm(this, QStringLiteral("「%1」は既にあります。\n置き換えますか？")
                                      .arg(QFileInfo(target).fileName())))
        return;

    const QImage piece = output::pieceImage(*cuttedpic);
    const bool hasOptions = option && option->kaizoudo && option->pro;
    const QString qualityText = hasOptions ? option->kaizoudo->text() : kDefaultQuality;
    const std::optional<std::uint8_t> quality = jpeg::qualityFromText(qualityText);
    if (!quality) {
        prompter().error(this,
                         QStringLiteral("JPEG解像度「%1」は0から255までの数ではないため、"
                                        "保存できません。\nオプションで設定し直してください。")
                             .arg(shownInMessage(qualityText)));
        return;
    }
    const bool progressive = hasOptions && option->pro->checkState() != Qt::Unchecked;

    jpeg::JpegWriteResult result;
    {
        BusyCursor busy;
        result = jpeg::writeJpeg(piece, target, *quality, progressive, paths().jpegLibrary);
    }
    if (!result.written) {
        prompter().error(this, result.error);
        return;
    }
    savefolder = jpeg::folderOfTarget(target, dialog.FileTitle().length());
}

void frmmain::btmsave_Click()
{
    runGuarded([this] { savepicture(); });
    runGuarded([this] { savesetting(); });
}

void frmmain::msave_Click()
{
    runGuarded([this] { savepicture(); });
    runGuarded([this] { savesetting(); });
}
