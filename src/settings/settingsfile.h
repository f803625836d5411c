#pragma once

// The settings file's format, apart from any window: six records, one per
// line, texts between double quotes, numbers bare, CR LF line ends, UTF-8.
// Reading follows the sequential-input rules the file has always been read
// with; a missing or unusable record is reported as such, so that the caller
// can fall back to its default value by value.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

class QIODevice;

// The six values to be written.
struct SettingsValues
{
    QString quality = QStringLiteral("50");
    std::int16_t progressive = 0;
    QString picpath;
    QString savefolder;
    float left = 0;
    float top = 0;
};

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

// What the records mean, each value on its own: a record that is missing or
// does not convert gives the default here, or nullopt where there is none.
struct LoadedSettings
{
    QString quality = QStringLiteral("50");
    std::optional<int> sliderValue = 50; // nullopt: the slider cannot take the quality
    std::int16_t progressive = 0;        // 0 off, 1 on, 2 greyed
    QString picpath;
    QString savefolder;
    std::optional<std::int32_t> left;
    std::optional<std::int32_t> top;
};

namespace settingsfile {

// Lines longer than this are not settings; reading stops at such a line.
inline constexpr qint64 maxLineLength = 64 * 1024;

// The exact bytes of the file.
QByteArray format(const SettingsValues& values);

// Reads at most six fields, line by line, without reading the rest of the
// device; CR, LF and CR LF each end a line.
SettingsRecords parse(QIODevice& device);
SettingsRecords parse(const QByteArray& bytes);

// nullopt when the file cannot be opened or is no regular file.
std::optional<SettingsRecords> read(const QString& path);

// Writes the whole file or nothing: a failed write leaves the old file as it was.
bool write(const QString& path, const SettingsValues& values);

LoadedSettings interpret(const SettingsRecords& records);

// Text to number as the program's numeric conversions do it: blanks around it
// are allowed, the decimal separator is a point, and an empty text is no number.
std::optional<double> toNumber(const QString& text);

} // namespace settingsfile
