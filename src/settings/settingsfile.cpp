#include "settings/settingsfile.h"

#include "units/twips.h"

#include <QBuffer>
#include <QFile>
#include <QList>
#include <QLocale>
#include <QSaveFile>
#include <cmath>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kRecordCount = 6;

QByteArray quoted(const QString& text)
{
    // A quoted record has no way to hold a quote or a line break, and a line
    // longer than the reader takes would cost the records after it; such a
    // value is written empty so that the records after it stay in their places.
    const QByteArray utf8 = text.toUtf8();
    if (text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\r')) ||
        text.contains(QLatin1Char('\n')) || utf8.size() + 2 > settingsfile::maxLineLength)
        return QByteArrayLiteral("\"\"");
    return '"' + utf8 + '"';
}

// A number in plain decimal form, whole values without a point.
QString numberText(double value)
{
    if (value == std::trunc(value) && std::abs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', 15);
}

// Splits one line, its line end removed, into fields: a comma outside quotes
// ends a field, a field that begins with a quote runs to the next quote, and
// whatever stands between that closing quote and the next comma is dropped.
QList<SettingsField> splitLine(const QString& line)
{
    QList<SettingsField> fields;
    const qsizetype size = line.size();
    qsizetype at = 0;
    while (true) {
        while (at < size && line.at(at).isSpace())
            ++at;
        SettingsField field;
        if (at < size && line.at(at) == QLatin1Char('"')) {
            const qsizetype close = line.indexOf(QLatin1Char('"'), at + 1);
            const qsizetype end = close < 0 ? size : close;
            field.text = line.mid(at + 1, end - at - 1);
            field.quoted = true;
            const qsizetype comma = close < 0 ? -1 : line.indexOf(QLatin1Char(','), close + 1);
            at = comma < 0 ? size : comma;
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), at);
            const qsizetype end = comma < 0 ? size : comma;
            field.text = line.mid(at, end - at).trimmed();
            at = end;
        }
        fields.append(field);
        if (at >= size)
            return fields;
        ++at; // past the comma
    }
}

std::optional<std::int32_t> toInt32(const std::optional<SettingsField>& field)
{
    if (!field)
        return std::nullopt;
    const std::optional<double> number = field->number();
    return number ? twips::toInt32(*number) : std::nullopt;
}

} // namespace

QString SettingsField::value() const
{
    if (quoted)
        return text;
    const std::optional<double> asNumber = number();
    return asNumber ? numberText(*asNumber) : text;
}

std::optional<double> SettingsField::number() const
{
    return settingsfile::toNumber(text);
}

namespace settingsfile {

QByteArray format(const Settings& values)
{
    const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    QByteArray bytes;
    bytes += quoted(values.quality) + lineEnd;
    bytes += QByteArray::number(values.progressive) + lineEnd;
    bytes += quoted(values.picpath) + lineEnd;
    bytes += quoted(values.savefolder) + lineEnd;
    // Whole twips, exactly: the same digits a single-precision number of a
    // window position gives, without its rounding far from the screen.
    bytes += QByteArray::number(values.winleft.value_or(0)) + lineEnd;
    bytes += QByteArray::number(values.wintop.value_or(0)) + lineEnd;
    return bytes;
}

SettingsRecords parse(QIODevice& device)
{
    QList<SettingsField> fields;
    while (fields.size() < kRecordCount && !device.atEnd()) {
        // One line is looked at before it is taken, so nothing past it is read.
        const QByteArray window = device.peek(maxLineLength + 2);
        // CR, LF and CR LF all end a line, as the files of every system have them.
        qsizetype end = 0;
        while (end < window.size() && window[end] != '\r' && window[end] != '\n')
            ++end;
        const bool complete = end < window.size() || window.size() < maxLineLength + 2;
        // An endless line is no settings record; the fields it would hold and
        // those after it are taken as missing instead of read on and on.
        if (!complete || end > maxLineLength)
            break;
        qsizetype next = end;
        if (next < window.size() && window[next] == '\r')
            ++next;
        if (next < window.size() && window[next] == '\n')
            ++next;
        device.skip(next);
        fields += splitLine(QString::fromUtf8(window.left(end)));
    }
    fields.resize(std::min<qsizetype>(fields.size(), kRecordCount));

    SettingsRecords records;
    std::optional<SettingsField>* targets[kRecordCount] = {&records.quality, &records.progressive,
                                                           &records.picpath, &records.savefolder,
                                                           &records.left,    &records.top};
    for (qsizetype i = 0; i < fields.size(); ++i)
        *targets[i] = fields.at(i);
    return records;
}

SettingsRecords parse(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return parse(buffer);
}

std::optional<SettingsRecords> read(const QString& path)
{
    QFile file;
#if defined(Q_OS_UNIX)
    // Only a regular file, opened without blocking and checked once open: a
    // FIFO in its place would otherwise hold start-up up for good.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat opened = {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
#endif
    return parse(file);
}

bool write(const QString& path, const Settings& values)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = format(values);
    // The explicit flush matters: Qt 6.4's commit() overlooks a buffered write
    // that the disk refused half-way, and would put a truncated file in place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

Settings interpret(const SettingsRecords& records)
{
    Settings loaded;
    if (records.quality)
        loaded.quality = records.quality->value();
    // The check box knows 0, 1 and 2 (greyed); anything else leaves it off.
    const std::optional<std::int32_t> progressive = toInt32(records.progressive);
    if (progressive && *progressive >= 0 && *progressive <= 2)
        loaded.progressive = static_cast<std::int16_t>(*progressive);
    if (records.picpath)
        loaded.picpath = records.picpath->value();
    if (records.savefolder)
        loaded.savefolder = records.savefolder->value();
    // The position counts only as a pair.
    const std::optional<std::int32_t> left = toInt32(records.left);
    const std::optional<std::int32_t> top = toInt32(records.top);
    if (left && top) {
        loaded.winleft = left;
        loaded.wintop = top;
    }
    return loaded;
}

std::optional<double> toNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace settingsfile
