#include "decorations/PhotoSequence.h"

#include "decorations/FolderScan.h"
#include "decorations/PhotoOrder.h"
#include "decorations/PhotostripTypes.h"
#include "ui/PathText.h"

#include <algorithm>

std::vector<QString> ListPhotos(const QString& folder)
{
    std::vector<QString> paths =
        ScanFolder(QStringToPath(folder), StripExtensions(StripContent::Photos, kPhotoStripKind));
    SortNewestFirst(paths);
    return paths;
}

std::optional<QString> StepFrom(const std::vector<QString>& now, const std::vector<QString>& before,
                                const QString& current, int step)
{
    if (step == 0)
        return std::nullopt;
    const auto placeIn = [](const std::vector<QString>& list, const QString& path) {
        return static_cast<long>(std::find(list.begin(), list.end(), path) - list.begin());
    };
    const long inNow = placeIn(now, current);
    if (inNow < static_cast<long>(now.size())) {
        const long next = inNow + step;
        if (next < 0 || next >= static_cast<long>(now.size()))
            return std::nullopt;
        return now[static_cast<size_t>(next)];
    }
    const long inBefore = placeIn(before, current);
    if (inBefore >= static_cast<long>(before.size()))
        return std::nullopt;
    for (long i = inBefore + step; i >= 0 && i < static_cast<long>(before.size()); i += step) {
        if (placeIn(now, before[static_cast<size_t>(i)]) < static_cast<long>(now.size()))
            return before[static_cast<size_t>(i)];
    }
    return std::nullopt;
}
