#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <filesystem>
#include <vector>

// The backdrops offered in the gallery: the ones shipped with the program, then the files of the
// user's backdrop folder (stills, animated GIFs, videos), each group in name order.
struct BackdropEntry {
    QString path;
    bool shipped = false;
};

// The extensions a backdrop may have (lower case, with the dot).
const std::vector<QString>& BackdropExtensions();

// Regular files only (no folders, however they are named; no broken links), at most kMostBackdrops
// of them; a missing or unreadable folder lists nothing.
inline constexpr int kMostBackdrops = 200;
std::vector<BackdropEntry> ListBackdrops(const std::filesystem::path& shippedFolder,
    const std::filesystem::path& userFolder);

// A small picture of a backdrop (a still, a GIF's first frame, a video's first frame) fitted into
// size; null for a file that cannot be read as one.
QImage BackdropThumbnail(const QString& path, QSize size);
