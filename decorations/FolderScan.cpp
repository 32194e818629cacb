#include "decorations/FolderScan.h"

#include "ui/FileNameBytes.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <system_error>

QString StripExtension(StripContent content, int32_t kind)
{
    switch (content) {
    case StripContent::Photos: return QStringLiteral(".jpg");
    case StripContent::Frames:
    case StripContent::AddOns:
        if (kind == 0)
            return QStringLiteral(".gif");
        if (kind == 1)
            return QStringLiteral(".png");
        break;
    }
    return {};
}

QStringList StripExtensions(StripContent content, int32_t kind)
{
    if (content == StripContent::Photos)
        return {QStringLiteral(".jpg"), QStringLiteral(".mp4"), QStringLiteral(".gif")};
    const QString one = StripExtension(content, kind);
    return one.isEmpty() ? QStringList() : QStringList{one};
}

bool IsVideoFile(const QString& path)
{
    return path.endsWith(QStringLiteral(".mp4"), Qt::CaseInsensitive);
}

bool IsGifFile(const QString& path)
{
    return path.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive);
}

std::vector<QString> ScanFolder(const std::filesystem::path& folder, const QString& extension)
{
    if (extension.isEmpty())
        return {};
    return ScanFolder(folder, QStringList{extension});
}

namespace {

// The names of the files in the folder (links to files count, hidden ones too), unsorted. A name
// that is not valid UTF-8 is listed with its bytes kept (FileNameBytes.h); Qt's own listing
// would give it as text that opens nothing.
QStringList FileNames(const std::filesystem::path& folder)
{
#ifdef _WIN32
    return QDir(PathToQString(folder)).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
#else
    QStringList names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code statError;
        if (it->is_regular_file(statError))
            names.push_back(FileNameFromBytes(QByteArray::fromStdString(it->path().filename().native())));
    }
    return names;
#endif
}

} // namespace

std::vector<QString> ScanFolder(const std::filesystem::path& folder, const QStringList& extensions)
{
    QStringList wanted;
    for (const QString& extension : extensions)
        if (!extension.isEmpty())
            wanted.push_back(extension);
    if (wanted.isEmpty())
        return {};
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return {};
    std::vector<QString> sorted;
    for (const QString& name : FileNames(folder))
        if (std::any_of(wanted.begin(), wanted.end(), [&](const QString& extension) {
                return name.endsWith(extension, Qt::CaseInsensitive);
            }))
            sorted.push_back(name);
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b; // names differing only in case keep a fixed order
    });
    const QDir dir(PathToQString(folder));
    std::vector<QString> paths;
    paths.reserve(sorted.size());
    for (const QString& name : sorted)
        paths.push_back(dir.filePath(name));
    return paths;
}
