#include "toolkit/qtprompter.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("Snipwell");

std::optional<FileChoice> runFileDialog(QWidget* parent, const FileRequest& request,
                                        QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // Replacing a file is confirmed by the caller, through this same interface.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(request.nameFilter);
    // The preset is shown as it is, blanks included: after the options dialog's
    // OK the name box holds a single space.
    if (!request.fileName.isEmpty()) {
        const QFileInfo info(request.fileName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const qsizetype filter = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    return FileChoice{dialog.selectedFiles().constFirst(), std::max<qsizetype>(0, filter)};
}

} // namespace

std::optional<FileChoice> QtPrompter::openFile(QWidget* parent, const FileRequest& request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileChoice> QtPrompter::saveFile(QWidget* parent, const FileRequest& request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

std::optional<QColor> QtPrompter::chooseColor(QWidget* parent, const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QFont> QtPrompter::chooseFont(QWidget* parent, const QFont& initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

bool QtPrompter::confirm(QWidget* parent, const QString& text)
{
    return QMessageBox::question(parent, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtPrompter::error(QWidget* parent, const QString& text)
{
    QMessageBox::warning(parent, kTitle, text);
}
