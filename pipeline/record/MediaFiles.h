#pragma once

#include <QString>

#include <ctime>
#include <functional>

// How photos, videos, GIFs and burst strips are named and dated: one place for all of them.

// The local time of a moment on every platform; false when it has none.
bool ToLocalTime(std::time_t when, std::tm& local);

// The photo file name without its extension: local year, month, day, hour, minute and second
// joined by "-", without leading zeros ("2026-5-3-9-7-5"). A time that cannot be converted gives
// -1 for the second, minute and hour and 0 for the day, month and year.
QString PhotoBaseName(std::time_t when);

// Gives a finished file its lasting name in folder: base + extension, or, when that name is
// taken (a second file in the same second), base + "_02", "_03", … + extension, so nothing is
// overwritten and later files sort after earlier ones. tryRename(path) must move the file there
// without replacing an existing one. Returns the path taken, or an empty string.
QString RenameToFreeName(const QString& folder, const QString& base, const QString& extension,
                         const std::function<bool(const QString&)>& tryRename);
