// The JPEG export: "保存" on the tool strip, in the File menu and in the
// preview window. It asks for the file, takes the quality and the progressive
// flag from the settings and hands the piece to the JPEG library.

#include "forms/frmmain.h"
#include "jpeg/exportrules.h"
#include "jpeg/jpeglibrary.h"
#include "toolkit/guards.h"
#include "toolkit/prompter.h"

#include <QFileInfo>

namespace {

// The first entry of the save dialog's filter.
constexpr int kJpegFilter = 1;

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

void frmmain::savepicture()
{
    dialog.Filter = QStringLiteral("jpegファイル(*.jpg)|*.jpg|全てのファイル|*.*");
    if (!dialog.ShowSave())
        return;
    // With the JPEG entry chosen, a name typed without an extension gets ".jpg";
    // the dialog then holds the real target, for the question and the next save.
    if (dialog.FilterIndex == kJpegFilter)
        dialog.FileName = jpeg::withJpgExtension(dialog.FileName);
    const QString target = dialog.FileName;
    // As the desktop's editors do: a read-only file is not replaced, not even after a question.
    if (jpeg::isReadOnlyFile(target)) {
        m_prompter.error(this, QStringLiteral("「%1」は読み取り専用のため置き換えられません。\n"
                                              "別の名前で保存してください。")
                                   .arg(QFileInfo(target).fileName()));
        return;
    }
    if (QFileInfo::exists(target) &&
        !m_prompter.confirm(this, QStringLiteral("「%1」は既にあります。\n置き換えますか？")
                                      .arg(QFileInfo(target).fileName())))
        return;

    const QString& qualityText = m_settings.quality;
    const std::optional<std::uint8_t> quality = jpeg::qualityFromText(qualityText);
    if (!quality) {
        m_prompter.error(
            this, QStringLiteral("JPEG解像度「%1」では保存できません。JPEG解像度は0から255までの"
                                 "数で、100より上は100と同じです。\n"
                                 "オプションで設定し直してください。")
                      .arg(shownInMessage(qualityText)));
        return;
    }

    jpeg::JpegWriteResult result;
    {
        BusyCursor busy;
        result = jpeg::writeJpeg(m_document.cuttedpic().image(), target, *quality,
                                 m_settings.isProgressive(), m_paths.jpegLibrary);
    }
    if (!result.written) {
        m_prompter.error(this, result.error);
        return;
    }
    m_settings.savefolder = jpeg::folderOfTarget(target, dialog.FileTitle().length());
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
