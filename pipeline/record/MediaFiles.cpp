#include "pipeline/record/MediaFiles.h"

#include <QDir>
#include <QFileInfo>

bool ToLocalTime(std::time_t when, std::tm& local)
{
#ifdef _WIN32
    return localtime_s(&local, &when) == 0;
#else
    return localtime_r(&when, &local) != nullptr;
#endif
}

namespace {

// Name of the n-th file of one second: the first keeps the plain name.
QString CandidateName(const QString& base, int n, const QString& extension)
{
    if (n <= 1)
        return base + extension;
    return base + QStringLiteral("_%1").arg(n, 2, 10, QLatin1Char('0')) + extension;
}

} // namespace

QString PhotoBaseName(std::time_t when)
{
    std::tm local{};
    int year = 0, month = 0, day = 0, hour = -1, minute = -1, second = -1;
    if (ToLocalTime(when, local)) {
        year = local.tm_year + 1900;
        month = local.tm_mon + 1;
        day = local.tm_mday;
        hour = local.tm_hour;
        minute = local.tm_min;
        second = local.tm_sec;
    }
    return QString::asprintf("%d-%d-%d-%d-%d-%d", year, month, day, hour, minute, second);
}

QString RenameToFreeName(const QString& folder, const QString& base, const QString& extension,
                         const std::function<bool(const QString&)>& tryRename)
{
    const QDir dir(folder);
    for (int n = 1; n < 1000; ++n) {
        const QString path = dir.filePath(CandidateName(base, n, extension));
        if (QFileInfo::exists(path))
            continue;
        // Renaming never replaces an existing file; a name taken meanwhile moves on to the next.
        if (tryRename(path))
            return path;
        if (!QFileInfo::exists(path))
            break;
    }
    return {};
}
