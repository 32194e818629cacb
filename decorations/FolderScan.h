#pragma once

#include "decorations/PhotostripTypes.h"
#include "ui/PathText.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <vector>

// The file extension a strip lists (".jpg" for photos, ".gif" or ".png" by kind for frames
// and add-ons), or an empty string when the combination lists nothing.
QString StripExtension(StripContent content, int32_t kind);
// Every extension a strip lists: the photos strip lists the videos and animated GIFs recorded
// beside the photos as well; the others list their one extension.
QStringList StripExtensions(StripContent content, int32_t kind);

// Whether path is a video the photos strip lists (by its extension).
bool IsVideoFile(const QString& path);
// Whether path is a GIF (by its extension): among the photos, a recorded animation.
bool IsGifFile(const QString& path);

// Full paths of the files in folder whose extension matches case-insensitively, sorted by
// name case-insensitively. Sub-folders never match; a missing folder gives nothing. A name that
// is not valid UTF-8 is listed too, carried as FileNameBytes.h describes.
std::vector<QString> ScanFolder(const std::filesystem::path& folder, const QString& extension);
// The same for files with any of the extensions, all in one name order.
std::vector<QString> ScanFolder(const std::filesystem::path& folder, const QStringList& extensions);
