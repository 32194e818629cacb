#pragma once

#include "decorations/DecorationKind.h"

#include <filesystem>

// The side pane's strips as the command rows see them.
class SidePanePort {
public:
    virtual ~SidePanePort() = default;

    // The folders listed from the next reload of each strip.
    virtual void SetPhotoFolder(const std::filesystem::path& folder) = 0;
    virtual void SetFrameFolder(const std::filesystem::path& folder) = 0;
    virtual void SetAddOnFolder(const std::filesystem::path& folder) = 0;
    // Lists the photo folder again (a photo saved, moved to the trash, a new folder).
    virtual void ListPhotosAgain() = 0;
    // Which kind of file the frames and add-ons strips list, and listing another.
    virtual DecorationKind frameKind() const = 0;
    virtual DecorationKind addOnKind() const = 0;
    virtual void ListFrames(DecorationKind kind) = 0;
    virtual void ListAddOns(DecorationKind kind) = 0;
    // The pane beside the picture, or folded away with the picture taking its room; shown again,
    // it comes back at the width it had.
    virtual bool paneShown() const = 0;
    virtual void ShowPane(bool shown) = 0;
};
