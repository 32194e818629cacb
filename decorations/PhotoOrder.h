#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// The photos strip lists what was taken most recently first, so that a new photo, burst, video
// or GIF is at the start of the row, where a reload scrolls to.

// The moment a file's name gives: local year, month, day, hour, minute and second joined by "-"
// ("2026-12-8-10-5-3"), followed by the end of the name or by anything that does not start with
// a digit ("_02", "-四连拍", ".jpg"). Nothing when the name does not start with a valid time.
std::optional<QDateTime> CaptureTimeFromName(const QString& fileName);

// Orders paths newest first: by the time in the name where it parses, otherwise by the file's
// modification time. Files of the same second come later-numbered first ("_03" before "_02"
// before the plain name), then by modification time, then by name, newest and last first.
void SortNewestFirst(std::vector<QString>& paths);
