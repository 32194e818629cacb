#include "ui/Shell.h"

#include "ui/FileNameBytes.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QUrl>

#include <atomic>

namespace {
std::atomic<Shell*> installed { nullptr };
}

bool DesktopShell::Open(const QString& path)
{
    return QDesktopServices::openUrl(FileUrl(path));
}

bool DesktopShell::OpenLink(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

std::optional<QString> DesktopShell::ChooseFolder(QWidget* parent, const QString& title, const QString& start)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, title, start);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

TrashResult DesktopShell::MoveToTrash(const QString& path)
{
    return ::MoveToTrash(path, HomeTrashFolder(), QDateTime::currentDateTime());
}

bool RecordingShell::Open(const QString& path)
{
    opened.push_back(path);
    return openSucceeds;
}

bool RecordingShell::OpenLink(const QString& url)
{
    links.push_back(url);
    return openSucceeds;
}

std::optional<QString> RecordingShell::ChooseFolder(QWidget* parent, const QString& title, const QString& start)
{
    chooserStarts.push_back(start);
    chooserTitles.push_back(title);
    chooserParents.push_back(parent);
    return chosenFolder;
}

TrashResult RecordingShell::MoveToTrash(const QString& path)
{
    trashed.push_back(path);
    if (trashFolder.isEmpty())
        return {TrashResult::Outcome::NoTrash, {}};
    const QString target = QDir(trashFolder).filePath(QFileInfo(path).fileName());
    if (!QFile::rename(path, target))
        return {TrashResult::Outcome::Failed, {}};
    return {TrashResult::Outcome::Moved, target};
}

Shell& DesktopServices()
{
    if (Shell* service = installed.load())
        return *service;
    static DesktopShell desktop;
    return desktop;
}

ScopedShell::ScopedShell(Shell& service)
    : previous_(installed.exchange(&service))
{
}

ScopedShell::~ScopedShell()
{
    installed.store(previous_);
}
