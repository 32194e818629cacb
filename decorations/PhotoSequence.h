#pragma once

#include <QString>

#include <optional>
#include <vector>

// The photos, videos and GIFs of a folder in the order the photos strip shows them (newest
// first): what a look through them, one after the other, goes by.

// The files of folder the photos strip lists, in its order; nothing for a missing folder.
std::vector<QString> ListPhotos(const QString& folder);

// The file `step` places on from current (1: the next, older one; -1: the previous, newer one) in
// now. When current is no longer in now (moved, deleted), its place in before (the list it was
// found in) tells where it stood, and the nearest of its neighbours that is still there follows.
// Nothing past either end of the row.
std::optional<QString> StepFrom(const std::vector<QString>& now, const std::vector<QString>& before,
                                const QString& current, int step);
