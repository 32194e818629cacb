#include "ui/DesktopTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList WorkingFolder()
{
    return QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)

TEST(DesktopTrashTest, AFileGoesToFilesWithANoteInInfoAndNamesNeverClash)
{
    QTemporaryDir data, photos;
    const QString trash = QDir(data.path()).filePath("Trash"); // made at the first use
    const QString photo = QDir(photos.path()).filePath("我的 照片.jpg");
    const QDateTime when(QDate(2026, 12, 8), QTime(13, 5, 9));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(Write(photo, QByteArray("photo ") + char('1' + i)));
        const TrashResult result = MoveToTrash(photo, trash, when);
        ASSERT_EQ(result.outcome, TrashResult::Outcome::Moved) << i;
        EXPECT_FALSE(QFileInfo::exists(photo));
        EXPECT_EQ(Read(result.pathInTrash), QByteArray("photo ") + char('1' + i));
        const QString name = QFileInfo(result.pathInTrash).fileName();
        EXPECT_EQ(QFileInfo(result.pathInTrash).absolutePath(), QDir(trash).filePath("files"));
        EXPECT_EQ(name, i == 0 ? QString("我的 照片.jpg") : QString("我的 照片 (2).jpg"));
        const QByteArray note = Read(QDir(trash).filePath("info/" + name + ".trashinfo"));
        EXPECT_EQ(note, "[Trash Info]\nPath="
                            + QFile::encodeName(QDir(photos.path()).path()).toPercentEncoding("/")
                            + "/%E6%88%91%E7%9A%84%20%E7%85%A7%E7%89%87.jpg\nDeletionDate=2026-12-08T13:05:09\n");
    }
    const QFileInfo files(QDir(trash).filePath("files"));
    EXPECT_EQ(files.permissions() & (QFile::ReadOther | QFile::ReadGroup), 0) << "private to the user";
}

TEST(DesktopTrashTest, AFreshHomeGetsItsTrashAndWithoutOneTheFileStays)
{
    const QStringList before = WorkingFolder();
    QTemporaryDir photos, data;
    const QString photo = QDir(photos.path()).filePath("B.gif");
    ASSERT_TRUE(Write(photo, "GIF89a"));
    QStringList tops;
    const TopTrashFinder none = [&tops](const QString& top) {
        tops << top;
        return QString();
    };
    const QDateTime when(QDate(2026, 1, 1), QTime(0, 0));
    // A fresh home without its data folder: the folders are made, private to the user, and the
    // file goes to the trash there.
    const QString fresh = QDir(photos.path()).filePath("A.gif");
    ASSERT_TRUE(Write(fresh, "GIF89a"));
    const QString missing = QDir(data.path()).filePath(".local/share/Trash");
    const TrashResult made = MoveToTrash(fresh, missing, when, none);
    ASSERT_EQ(made.outcome, TrashResult::Outcome::Moved);
    EXPECT_EQ(made.pathInTrash, missing + "/files/A.gif");
    EXPECT_FALSE(QFileInfo::exists(fresh));
    for (const char* folder : { ".local", ".local/share", ".local/share/Trash", ".local/share/Trash/info" })
        EXPECT_EQ(QFileInfo(QDir(data.path()).filePath(folder)).permissions() & 0x0077, 0) << folder;
    EXPECT_TRUE(tops.isEmpty()) << "a file beside the home never goes to a disk's top";
    // No home trash, or one that is not absolute: only the top of the photo's disk might have one.
    for (const QString& home : { QString(), QString("Trash"), QString("rel/Trash") }) {
        EXPECT_EQ(MoveToTrash(photo, home, when, none).outcome, TrashResult::Outcome::NoTrash);
        ASSERT_FALSE(tops.isEmpty());
        EXPECT_TRUE(tops.back().startsWith('/'));
    }
    EXPECT_TRUE(QFileInfo::exists(photo));
    EXPECT_EQ(QDir(photos.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList { "B.gif" });
    EXPECT_EQ(WorkingFolder(), before);

    // A trash there: the note gives the path from the disk's top.
    QTemporaryDir topTrash;
    QString top;
    const TopTrashFinder there = [&topTrash, &top](const QString& at) {
        top = at;
        return topTrash.path();
    };
    const TrashResult result = MoveToTrash(photo, QString(), when, there);
    ASSERT_EQ(result.outcome, TrashResult::Outcome::Moved);
    EXPECT_EQ(result.pathInTrash, topTrash.path() + "/files/B.gif");
    const QByteArray note = Read(topTrash.path() + "/info/B.gif.trashinfo");
    EXPECT_TRUE(note.contains("\nPath=" + QFile::encodeName(QDir(top).relativeFilePath(photo)) + "\n"))
        << note.toStdString();

    // A missing file is a failure, not a trash that is missing.
    EXPECT_EQ(MoveToTrash(photo, QDir(data.path()).filePath("Trash"), when, none).outcome,
              TrashResult::Outcome::Failed);
}

TEST(DesktopTrashTest, TheTopOfAnotherFileSystemGivesASafeTrashOrNone)
{
    const unsigned uid = static_cast<unsigned>(::getuid());
    const QString me = QString::number(uid);
    {
        QTemporaryDir top; // a shared .Trash with the sticky bit: the user's folder inside it
        ASSERT_TRUE(QDir(top.path()).mkdir(".Trash"));
        ASSERT_EQ(::chmod(QFile::encodeName(top.path() + "/.Trash").constData(), 01777), 0);
        EXPECT_EQ(TopDirTrashFolder(top.path(), uid), top.path() + "/.Trash/" + me);
        EXPECT_TRUE(QFileInfo(top.path() + "/.Trash/" + me).isDir());
    }
    {
        QTemporaryDir top; // without the sticky bit anyone could swap it: the user's own instead
        ASSERT_TRUE(QDir(top.path()).mkdir(".Trash"));
        ASSERT_EQ(::chmod(QFile::encodeName(top.path() + "/.Trash").constData(), 0777), 0);
        EXPECT_EQ(TopDirTrashFolder(top.path(), uid), top.path() + "/.Trash-" + me);
    }
    {
        QTemporaryDir top, elsewhere; // a link is never followed
        ASSERT_TRUE(QFile::link(elsewhere.path(), top.path() + "/.Trash-" + me));
        EXPECT_EQ(TopDirTrashFolder(top.path(), uid), QString());
    }
    {
        QTemporaryDir top; // a folder that is not the user's
        ASSERT_TRUE(QDir(top.path()).mkdir(".Trash-" + QString::number(uid + 1)));
        EXPECT_EQ(TopDirTrashFolder(top.path(), uid + 1), QString());
    }
    EXPECT_EQ(TopDirTrashFolder("relative", uid), QString());
    EXPECT_FALSE(QFileInfo::exists("relative"));
}

#endif
