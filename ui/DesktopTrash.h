#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// The user's trash in the freedesktop.org layout: a file goes to
// "files/" of a trash folder, with a note in "info/" saying where it came from and when. A file
// is trashed only where such a folder can be established; it is never moved anywhere else (no
// folder is made relative to the working folder).

struct TrashResult {
    enum class Outcome {
        Moved,   // in the trash at pathInTrash
        NoTrash, // no trash for this file: it stays where it was
        Failed,  // a trash is there, but the file could not be moved into it: it stays
    };
    Outcome outcome = Outcome::NoTrash;
    QString pathInTrash;
};

// The home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash without it; empty when neither
// gives an absolute path.
QString HomeTrashFolder();

// The trash at the top of a mounted file system other than the home one: topDir/.Trash/<uid>
// when topDir/.Trash is a real folder with the sticky bit, else topDir/.Trash-<uid>, made when
// missing; empty when neither can be used (a link, another owner, no permission).
QString TopDirTrashFolder(const QString& topDir, unsigned uid);

// The trash folder for the top of a file system (TopDirTrashFolder for this user by default).
using TopTrashFinder = std::function<QString(const QString& topDir)>;

// Moves path into the home trash (homeTrash) when the file is on the home trash's file system,
// which needs the folder that holds homeTrash to exist; a file on another file system goes to
// the trash at that file system's top. `deleted` is written as the deletion time.
TrashResult MoveToTrash(const QString& path, const QString& homeTrash, const QDateTime& deleted,
                        const TopTrashFinder& topTrash = {});
