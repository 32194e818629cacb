#include "pipeline/record/LeftoverRecordings.h"

#include "pipeline/record/MediaFiles.h"
#include "pipeline/record/VideoRecorder.h"
#include "pipeline/record/VideoSink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

LeftoverRecordings RecoverLeftoverRecordings(const QString& photoFolder)
{
    LeftoverRecordings outcome;
    const QDir photos(photoFolder);
    const QFileInfoList hiddenFolders = photos.entryInfoList(
        { QLatin1String(kRecordingFolderPrefix) + QLatin1Char('*') }, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
        QDir::Name);
    for (const QFileInfo& hidden : hiddenFolders) {
        if (hidden.isSymLink())
            continue; // not one the recorder made
        const QDir folder(hidden.filePath());
        QLockFile lock(folder.filePath(QLatin1String(kRecordingLockName)));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue; // a recording going on in another run
        bool keep = false;
        for (const QFileInfo& video : folder.entryInfoList({ QStringLiteral("*.mp4") }, QDir::Files | QDir::Hidden)) {
            if (!IsPlayableVideo(video.filePath())) {
                if (QFile::remove(video.filePath()))
                    ++outcome.removed;
                else
                    keep = true;
                continue;
            }
            const QString path = RenameToFreeName(photoFolder, video.completeBaseName(), QStringLiteral(".mp4"),
                [&video](const QString& to) { return QFile::rename(video.filePath(), to); });
            if (path.isEmpty())
                keep = true; // never delete a video that plays
            else
                outcome.recovered << path;
        }
        lock.unlock();
        if (!keep)
            QDir(hidden.filePath()).removeRecursively();
    }
    return outcome;
}
