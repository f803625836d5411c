#pragma once

// A local file's name as the system knows it: bytes, which on Linux need not be
// UTF-8. A name taken from the program's argument or from a dropped file:// URL
// keeps its bytes, so a file whose name is no valid text still opens; the name
// is shown to the user in a readable rendering.

#include <QByteArray>
#include <QString>
#include <optional>

class QUrl;

class LocalFileName
{
  public:
    LocalFileName() = default;
    explicit LocalFileName(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    // A name the program holds as text (the file dialogs, the settings file).
    static LocalFileName fromText(const QString& path);
    // The file of a file:// URL, its percent-encoded bytes decoded as bytes.
    static std::optional<LocalFileName> fromUrl(const QUrl& url);

    const QByteArray& bytes() const { return m_bytes; }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    // The name made absolute against the current folder, its bytes kept.
    LocalFileName absolute() const;
    // For messages: bytes that are no valid UTF-8 show as U+FFFD.
    QString shown() const;
    // The last part of the name, shown the same way.
    QString shownFileName() const;

    bool operator==(const LocalFileName& other) const = default;

  private:
    QByteArray m_bytes;
};
