#include "pipeline/record/HeldFolder.h"

#include <QFile>
#include <QFileInfo>

#if defined(__linux__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define PARVEL_HELD_FOLDER 1
#endif

#include <climits>

HeldFolder::HeldFolder(const QString& path)
    : path_(path)
{
#ifdef PARVEL_HELD_FOLDER
    handle_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

HeldFolder::~HeldFolder()
{
#ifdef PARVEL_HELD_FOLDER
    if (handle_ >= 0)
        ::close(handle_);
#endif
}

QString HeldFolder::CurrentPath() const
{
#if defined(__linux__)
    if (handle_ >= 0) {
        char buffer[PATH_MAX + 1];
        const QByteArray link = "/proc/self/fd/" + QByteArray::number(handle_);
        const ssize_t n = ::readlink(link.constData(), buffer, PATH_MAX);
        if (n > 0) {
            const QString now = QFile::decodeName(QByteArray(buffer, static_cast<int>(n)));
            // The kernel marks a folder that no longer has a name.
            if (now.endsWith(QLatin1String(" (deleted)")) && !QFileInfo(now).isDir())
                return {};
            return QFileInfo(now).isDir() ? now : QString();
        }
    }
#elif defined(__APPLE__)
    if (handle_ >= 0) {
        char buffer[PATH_MAX];
        if (::fcntl(handle_, F_GETPATH, buffer) != -1) {
            const QString now = QFile::decodeName(buffer);
            return QFileInfo(now).isDir() ? now : QString();
        }
    }
#endif
    return QFileInfo(path_).isDir() ? path_ : QString();
}
