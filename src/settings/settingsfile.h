#pragma once

// The settings file's format, apart from any window: six records, one per
// line, texts between double quotes, numbers bare, CR LF line ends, UTF-8.
// Reading follows the sequential-input rules the file has always been read
// with; a missing or unusable record is reported as such, so that the caller
// can fall back to its default value by value.

#include "settings/settings.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

class QIODevice;

// One field as read: its text, and whether it stood between double quotes.
struct SettingsField
{
    QString text;
    bool quoted = false;

    // The field as an untyped value shown as text: a bare field that reads as a
    // number comes out in its plain decimal form ("075" gives "75").
    QString value() const;
    // The field as a number; nullopt when it does not read as one.
    std::optional<double> number() const;
};

// The six raw fields in file order; a field the file does not hold is nullopt.
struct SettingsRecords
{
    std::optional<SettingsField> quality;
    std::optional<SettingsField> progressive;
    std::optional<SettingsField> picpath;
    std::optional<SettingsField> savefolder;
    std::optional<SettingsField> left;
    std::optional<SettingsField> top;
};

namespace settingsfile {

// Lines longer than this are not settings; reading stops at such a line.
inline constexpr qint64 maxLineLength = 64 * 1024;

// The exact bytes of the file.
QByteArray format(const Settings& values);

// Reads at most six fields, line by line, without reading the rest of the
// device; CR, LF and CR LF each end a line.
SettingsRecords parse(QIODevice& device);
SettingsRecords parse(const QByteArray& bytes);

// nullopt when the file cannot be opened or is no regular file.
std::optional<SettingsRecords> read(const QString& path);

// Writes the whole file or nothing: a failed write leaves the old file as it was.
bool write(const QString& path, const Settings& values);

// What the records mean, each value on its own: a record that is missing or
// does not convert leaves that value at its default.
Settings interpret(const SettingsRecords& records);

// Text to number as the program's numeric conversions do it: blanks around it
// are allowed, the decimal separator is a point, and an empty text is no number.
std::optional<double> toNumber(const QString& text);

} // namespace settingsfile
