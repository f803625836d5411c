#include "output/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool writableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString settingsFilePath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (writableFolder(programFolder))
        return programFolder + QStringLiteral("/setting.ini");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config + QStringLiteral("/setting.ini");
}

QString jpegLibraryPath()
{
    const QString override = qEnvironmentVariable("SNIPWELL_SAVEJPG");
    if (!override.isEmpty())
        return override;
    // QLibrary adds the platform's prefix and suffix (libsavejpg.so, SaveJPG.dll).
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/savejpg");
    return beside;
}

} // namespace

AppPaths defaultAppPaths()
{
    return {settingsFilePath(), jpegLibraryPath()};
}
