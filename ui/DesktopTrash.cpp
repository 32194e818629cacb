#include "ui/DesktopTrash.h"

#include "ui/FileNameBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#define PARVEL_FREEDESKTOP_TRASH 1
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef PARVEL_FREEDESKTOP_TRASH

namespace {

QByteArray Bytes(const QString& path)
{
    return FileNameToBytes(path);
}

// The folder, made (private to the user) when missing; a link or another kind of entry is
// refused. owner: the user it must belong to, or -1 for any.
bool EnsureFolder(const QString& folder, long long owner = -1)
{
    struct stat st {};
    if (::lstat(Bytes(folder).constData(), &st) != 0) {
        if (errno != ENOENT || ::mkdir(Bytes(folder).constData(), 0700) != 0)
            return false;
        if (::lstat(Bytes(folder).constData(), &st) != 0)
            return false;
    }
    return S_ISDIR(st.st_mode) && (owner < 0 || static_cast<long long>(st.st_uid) == owner);
}

// The folder and any missing folders above it, each made private to the user.
bool EnsureFolderChain(const QString& folder)
{
    QStringList missing;
    QString at = QDir::cleanPath(folder);
    for (int depth = 0; depth < 64 && !QFileInfo(at).exists(); ++depth) {
        missing.prepend(at);
        const QString parent = QFileInfo(at).absolutePath();
        if (parent == at)
            break;
        at = parent;
    }
    for (const QString& each : missing)
        if (!EnsureFolder(each))
            return false;
    return QFileInfo(folder).isDir();
}

// The top folder of the mounted file system that holds path (on device `device`).
QString MountTop(const QString& path, dev_t device)
{
    QString folder = QFileInfo(path).absolutePath();
    for (int depth = 0; depth < 256; ++depth) {
        if (folder == QLatin1String("/"))
            return folder;
        const QString parent = QFileInfo(folder).absolutePath();
        struct stat st {};
        if (::stat(Bytes(parent).constData(), &st) != 0)
            return {};
        if (st.st_dev != device)
            return folder;
        folder = parent;
    }
    return {};
}

// The device of path, or of its nearest folder that exists.
std::optional<dev_t> DeviceOfNearest(QString path)
{
    for (int depth = 0; depth < 256 && !path.isEmpty(); ++depth) {
        struct stat st {};
        if (::stat(Bytes(path).constData(), &st) == 0)
            return st.st_dev;
        if (path == QLatin1String("/"))
            break;
        path = QFileInfo(path).absolutePath();
    }
    return std::nullopt;
}

// "name", then "stem (2).ext", "stem (3).ext", …
QString CandidateName(const QString& name, int n)
{
    if (n <= 1)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return name + QStringLiteral(" (%1)").arg(n);
    return name.left(dot) + QStringLiteral(" (%1)").arg(n) + name.mid(dot);
}

// The path's own bytes, each outside the unreserved characters and "/" as %XX (a name that is
// not UTF-8 keeps its bytes).
QByteArray PercentEncoded(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-'
            || b == '.' || b == '_' || b == '~' || b == '/') {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

bool WriteAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

QString HomeTrashFolder()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data)) { // a relative value is to be ignored
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home))
            return {};
        data = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(data + QStringLiteral("/Trash"));
}

QString TopDirTrashFolder(const QString& topDir, unsigned uid)
{
    if (topDir.isEmpty() || !QDir::isAbsolutePath(topDir))
        return {};
    const QString top = QDir::cleanPath(topDir);
    const QString user = QString::number(uid);
    // A shared ".Trash" counts only as a real folder with the sticky bit, so that nobody else
    // can take or replace what the user puts there.
    const QString shared = top + QStringLiteral("/.Trash");
    struct stat st {};
    if (::lstat(Bytes(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString mine = shared + QLatin1Char('/') + user;
        if (EnsureFolder(mine, uid))
            return mine;
    }
    const QString own = top + QStringLiteral("/.Trash-") + user;
    if (EnsureFolder(own, uid))
        return own;
    return {};
}

TrashResult MoveToTrash(const QString& path, const QString& homeTrash, const QDateTime& deleted,
                        const TopTrashFinder& topTrash)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    struct stat file {};
    if (::lstat(Bytes(absolute).constData(), &file) != 0)
        return {TrashResult::Outcome::Failed, {}};

    // The home trash serves the files on its own file system; others go to their file system's
    // top. A file beside the home whose data folder is missing has no trash at all.
    QString trash;
    QString origin = absolute; // as the note gives it
    const std::optional<dev_t> home = homeTrash.isEmpty() || !QDir::isAbsolutePath(homeTrash)
        ? std::nullopt
        : DeviceOfNearest(QDir::cleanPath(homeTrash));
    if (home && *home == file.st_dev) {
        // A fresh home may have no data folder yet: it is made, private to the user, as the
        // desktop would make it on its first write there.
        const QString dataHome = QFileInfo(QDir::cleanPath(homeTrash)).absolutePath();
        if (!EnsureFolderChain(dataHome))
            return {TrashResult::Outcome::NoTrash, {}};
        trash = QDir::cleanPath(homeTrash);
    } else {
        const QString top = MountTop(absolute, file.st_dev);
        if (top.isEmpty())
            return {TrashResult::Outcome::NoTrash, {}};
        trash = topTrash ? topTrash(top) : TopDirTrashFolder(top, static_cast<unsigned>(::getuid()));
        if (trash.isEmpty() || !QDir::isAbsolutePath(trash))
            return {TrashResult::Outcome::NoTrash, {}};
        origin = QDir(top).relativeFilePath(absolute); // such a trash goes with its disk
    }
    if (!EnsureFolder(trash) || !EnsureFolder(trash + QStringLiteral("/files"))
        || !EnsureFolder(trash + QStringLiteral("/info")))
        return {TrashResult::Outcome::NoTrash, {}};

    const QByteArray note = QByteArrayLiteral("[Trash Info]\nPath=")
        + PercentEncoded(Bytes(origin))
        + QByteArrayLiteral("\nDeletionDate=")
        + deleted.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + '\n';
    const QString name = QFileInfo(absolute).fileName();
    for (int n = 1; n < 10000; ++n) {
        const QString candidate = CandidateName(name, n);
        const QString info = trash + QStringLiteral("/info/") + candidate + QStringLiteral(".trashinfo");
        const QString target = trash + QStringLiteral("/files/") + candidate;
        // The note is made first and exclusively: it reserves the name.
        const int fd = ::open(Bytes(info).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return {TrashResult::Outcome::Failed, {}};
        }
        struct stat taken {};
        if (::lstat(Bytes(target).constData(), &taken) == 0) { // left without its note
            ::close(fd);
            ::unlink(Bytes(info).constData());
            continue;
        }
        const bool written = WriteAll(fd, note);
        if (::close(fd) != 0 || !written || ::rename(Bytes(absolute).constData(), Bytes(target).constData()) != 0) {
            ::unlink(Bytes(info).constData());
            return {TrashResult::Outcome::Failed, {}};
        }
        return {TrashResult::Outcome::Moved, target};
    }
    return {TrashResult::Outcome::Failed, {}};
}

#else

// Windows and macOS have their own recycle bin; Qt moves into it.
QString HomeTrashFolder()
{
    return {};
}

QString TopDirTrashFolder(const QString&, unsigned)
{
    return {};
}

TrashResult MoveToTrash(const QString& path, const QString&, const QDateTime&, const TopTrashFinder&)
{
    QString inTrash;
    if (QFile::moveToTrash(path, &inTrash))
        return {TrashResult::Outcome::Moved, inTrash};
    return {TrashResult::Outcome::NoTrash, {}};
}

#endif
