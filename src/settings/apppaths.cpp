#include "settings/apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The settings stay beside the program, unless that is a folder a user cannot or
// should not write: the system folder an installed Snipwell runs from.
bool settingsMayLiveIn(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable())
        return false;
    return QDir(folder).canonicalPath() !=
           QDir(QStringLiteral(SNIPWELL_INSTALL_BINDIR)).canonicalPath();
}

QString settingsFilePath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (settingsMayLiveIn(programFolder))
        return programFolder + QStringLiteral("/setting.ini");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config + QStringLiteral("/setting.ini");
}

#ifdef Q_OS_WIN
const QString kLibraryFile = QStringLiteral("SaveJPG.dll");
#else
const QString kLibraryFile = QStringLiteral("libsavejpg.so");
#endif

QString jpegLibraryPath()
{
    const QString override = qEnvironmentVariable("SNIPWELL_SAVEJPG");
    if (!override.isEmpty())
        return override;
    // Beside the program when built, in a folder of its own when installed.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(kLibraryFile);
    const QString installed =
        programFolder.filePath(QStringLiteral(SNIPWELL_LIB_FROM_BIN "/") + kLibraryFile);
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside
                                                                      : QDir::cleanPath(installed);
}

} // namespace

AppPaths defaultAppPaths()
{
    return {settingsFilePath(), jpegLibraryPath()};
}
