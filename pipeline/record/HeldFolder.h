#pragma once

#include <QString>

// Follows a folder that may be moved or deleted while it is in use: a handle held open keeps
// pointing at the folder wherever it goes, so where it is now can be asked later. Where the
// system cannot tell (or where a folder in use cannot be moved at all), it is known by its path.
class HeldFolder {
public:
    explicit HeldFolder(const QString& path);
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // The folder's path now: the one it was opened at unless it moved; empty once it was
    // deleted, or when it cannot be found.
    QString CurrentPath() const;

private:
    QString path_;
    int handle_ = -1;
};
