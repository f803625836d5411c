#include "jpeg/exportrules.h"

#include "units/twips.h"

#include <QFileInfo>
#include <QLocale>

namespace jpeg {

std::optional<std::uint8_t> qualityFromText(const QString& text)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    const std::optional<std::int32_t> whole = twips::toInt32(value);
    if (!whole || *whole < 0 || *whole > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(*whole);
}

QString folderOfTarget(const QString& path, qsizetype titleLength)
{
    return path.left(std::max<qsizetype>(0, path.length() - titleLength - 1));
}

QString withJpgExtension(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.indexOf(QLatin1Char('.'), 1) >= 0)
        return path;
    return path + QStringLiteral(".jpg");
}

bool isReadOnlyFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return false;
    // The mode's own bits: WriteUser is what this user may do, which for root is everything.
    constexpr QFile::Permissions anyWrite =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & anyWrite) || !info.isWritable();
}

} // namespace jpeg
