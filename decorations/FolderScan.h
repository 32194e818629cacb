#pragma once

#include "decorations/PhotostripTypes.h"
#include "ui/PathText.h"

#include <QString>

#include <filesystem>
#include <vector>

// The file extension a strip lists (".jpg" for photos, ".gif" or ".png" by kind for frames
// and add-ons), or an empty string when the combination lists nothing.
QString StripExtension(StripContent content, int32_t kind);

// Full paths of the files in folder whose extension matches case-insensitively, sorted by
// name case-insensitively. Sub-folders never match; a missing folder gives nothing.
std::vector<QString> ScanFolder(const std::filesystem::path& folder, const QString& extension);
