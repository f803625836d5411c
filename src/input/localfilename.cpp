#include "input/localfilename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <cerrno>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

LocalFileName LocalFileName::fromText(const QString& path)
{
    return LocalFileName(QFile::encodeName(path));
}

std::optional<LocalFileName> LocalFileName::fromUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return std::nullopt;
#if defined(Q_OS_UNIX)
    // QUrl keeps a percent-encoded byte that is no UTF-8 encoded in its path;
    // decoding the encoded path as bytes gives the name the file really has.
    const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
    const QByteArray bytes = QByteArray::fromPercentEncoding(encoded);
    if (!bytes.isEmpty())
        return LocalFileName(bytes);
#endif
    return fromText(url.toLocalFile());
}

LocalFileName LocalFileName::absolute() const
{
#if defined(Q_OS_UNIX)
    if (m_bytes.startsWith('/') || m_bytes.isEmpty())
        return *this;
    QByteArray folder(4096, '\0');
    while (::getcwd(folder.data(), static_cast<size_t>(folder.size())) == nullptr) {
        if (errno != ERANGE || folder.size() > (1 << 20))
            return LocalFileName(QFile::encodeName(QDir::currentPath()) + '/' + m_bytes);
        folder.resize(folder.size() * 2);
    }
    folder.truncate(qstrlen(folder.constData()));
    return LocalFileName(folder + (folder.endsWith('/') ? "" : "/") + m_bytes);
#else
    return fromText(QFileInfo(QFile::decodeName(m_bytes)).absoluteFilePath());
#endif
}

QString LocalFileName::shown() const
{
    return QDir::toNativeSeparators(QString::fromUtf8(m_bytes));
}

QString LocalFileName::shownFileName() const
{
    const qsizetype slash = m_bytes.lastIndexOf('/');
    return QString::fromUtf8(slash < 0 ? m_bytes : m_bytes.mid(slash + 1));
}
