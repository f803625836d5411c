#include "toolkit/commondialog.h"

#include "toolkit/prompter.h"

#include <QFileInfo>
#include <QFont>
#include <QStringList>

CommonDialog::CommonDialog(Prompter& prompter, QWidget* owner)
    : m_prompter(prompter), m_owner(owner)
{
}

QString CommonDialog::FileTitle() const
{
    return QFileInfo(FileName).fileName();
}

QString CommonDialog::toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses at the end; a description
        // that already ends with its own pattern list shows it only once.
        const QString listed = QStringLiteral("(%1)").arg(parts[i + 1]);
        if (description.endsWith(listed))
            entries << description.chopped(listed.size()) + QStringLiteral("(%1)").arg(patterns);
        else
            entries << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

bool CommonDialog::takeFile(const std::optional<FileChoice>& chosen)
{
    if (!chosen)
        return false;
    FileName = chosen->path;
    FilterIndex = static_cast<int>(chosen->filter) + 1;
    return true;
}

bool CommonDialog::ShowOpen()
{
    return takeFile(m_prompter.openFile(m_owner, {FileName, toQtFilter(Filter)}));
}

bool CommonDialog::ShowSave()
{
    return takeFile(m_prompter.saveFile(m_owner, {FileName, toQtFilter(Filter)}));
}

bool CommonDialog::ShowColor()
{
    const auto chosen = m_prompter.chooseColor(m_owner, Color);
    if (!chosen)
        return false;
    Color = *chosen;
    return true;
}

bool CommonDialog::ShowFont()
{
    QFont initial;
    if (!FontName.isEmpty())
        initial.setFamily(FontName);
    initial.setPointSizeF(FontSize);
    initial.setBold(FontBold);
    initial.setItalic(FontItalic);
    const auto chosen = m_prompter.chooseFont(m_owner, initial);
    if (!chosen)
        return false;
    FontName = chosen->family();
    FontSize = static_cast<float>(chosen->pointSizeF());
    FontBold = chosen->bold();
    FontItalic = chosen->italic();
    return true;
}
