#pragma once

#include <QString>
#include <QStringList>

// What was found of recordings a previous run could not finish (it was killed or crashed).
struct LeftoverRecordings {
    QStringList recovered; // videos that play, now in the photo folder
    int removed = 0;       // unfinished videos that do not play, deleted
};

// Looks into the hidden recording folders in photoFolder that no running recorder holds: a
// video that plays moves to the photo folder under its own name (the next free one when that is
// taken), one that does not is deleted, and the emptied hidden folder goes. Nothing else in the
// photo folder is touched.
LeftoverRecordings RecoverLeftoverRecordings(const QString& photoFolder);
