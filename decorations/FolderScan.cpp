#include "decorations/FolderScan.h"

#include <QDir>
#include <QFile>

#include <algorithm>

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

std::vector<QString> ScanFolder(const std::filesystem::path& folder, const QString& extension)
{
    if (extension.isEmpty())
        return {};
    return ScanFolder(folder, QStringList{extension});
}

std::vector<QString> ScanFolder(const std::filesystem::path& folder, const QStringList& extensions)
{
    QStringList filters;
    for (const QString& extension : extensions)
        if (!extension.isEmpty())
            filters.push_back(QLatin1Char('*') + extension);
    if (filters.isEmpty())
        return {};
    const QDir dir(PathToQString(folder));
    if (!dir.exists())
        return {};
    // Name filters match case-insensitively unless told otherwise.
    const QStringList names =
        dir.entryList(filters, QDir::Files | QDir::Hidden, QDir::NoSort);
    std::vector<QString> sorted(names.begin(), names.end());
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b; // names differing only in case keep a fixed order
    });
    std::vector<QString> paths;
    paths.reserve(sorted.size());
    for (const QString& name : sorted)
        paths.push_back(dir.filePath(name));
    return paths;
}
