#include "app/FolderLayout.h"

#include "settings/SettingsWorkbook.h"
#include "ui/PathText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef PARVEL_DATA_FROM_BIN
#define PARVEL_DATA_FROM_BIN "../share/parvelwebcam"
#endif

FolderLayout DecideFolderLayout(const FolderLayoutInputs& in)
{
    if (QFileInfo(QDir(in.appDir).filePath(QStringLiteral("system"))).isDir())
        return FolderLayout::Portable;
    if (!in.dataDir.isEmpty() && QFileInfo(in.dataDir).isDir())
        return FolderLayout::Installed;
    return FolderLayout::Portable;
}

AppFolders MakeAppFolders(const FolderLayoutInputs& in)
{
    if (DecideFolderLayout(in) == FolderLayout::Portable)
        return AppFolders::FromAppDir(QStringToPath(in.appDir));
    return AppFolders::Installed(QStringToPath(in.appDir), QStringToPath(QDir::cleanPath(in.dataDir)),
        QStringToPath(in.configDir), QStringToPath(in.picturesDir));
}

FolderLayoutInputs ProcessFolderInputs()
{
    FolderLayoutInputs in;
    in.appDir = QCoreApplication::applicationDirPath();
    in.dataDir = QDir::cleanPath(QDir(in.appDir).filePath(QStringLiteral(PARVEL_DATA_FROM_BIN)));
    in.configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    in.picturesDir = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (in.picturesDir.isEmpty())
        in.picturesDir = QDir::homePath();
    return in;
}

bool PrepareSettingsWorkbook(const AppFolders& folders)
{
    if (folders.configDir == folders.systemDir)
        return true; // portable: the workbook is where it always was, never created
    const QString target = PathToQString(SettingsWorkbookPath(folders.configDir));
    if (QFileInfo::exists(target))
        return true;
    const QString shipped = PathToQString(SettingsWorkbookPath(folders.systemDir));
    if (!QDir().mkpath(PathToQString(folders.configDir)) || !QFile::copy(shipped, target))
        return false;
    // The shipped copy is read-only; the user's copy is rewritten by every setting.
    return QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                         | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}
