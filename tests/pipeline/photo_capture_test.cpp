#include "pipeline/record/PhotoCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>

#include <ctime>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// 3 May 2026, 09:07:05 local time.
std::time_t ThirdOfMay()
{
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 4;
    local.tm_mday = 3;
    local.tm_hour = 9;
    local.tm_min = 7;
    local.tm_sec = 5;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

QImage Picture(int w, int h)
{
    QImage picture(w, h, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(30, 140, 200));
    return picture;
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

class PhotoCaptureTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir;
};

TEST_F(PhotoCaptureTest, NameIsTheLocalTimeWithoutLeadingZeros)
{
    EXPECT_EQ(PhotoBaseName(ThirdOfMay()), "2026-5-3-9-7-5");
    const PhotoResult result = SavePhoto(Picture(640, 480), dir.path(), ThirdOfMay());
    ASSERT_TRUE(result.saved) << result.message.toStdString();
    EXPECT_EQ(QFileInfo(result.path).fileName(), "2026-5-3-9-7-5.jpg");
    EXPECT_EQ(Entries(dir.path()), QStringList{"2026-5-3-9-7-5.jpg"}); // no temporary file left
    // An ordinary file, not one private to its owner like a temporary file.
    EXPECT_TRUE(QFileInfo(result.path).permissions() & QFileDevice::ReadOther);
}

TEST_F(PhotoCaptureTest, PhotoIsAJpegAtThePictureResolution)
{
    for (QSize size : {QSize(640, 480), QSize(1920, 1080), QSize(641, 3)}) {
        const PhotoResult result = SavePhoto(Picture(size.width(), size.height()), dir.path(), ThirdOfMay());
        ASSERT_TRUE(result.saved);
        QFile file(result.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(3).startsWith("\xFF\xD8\xFF")); // JPEG start of image
        file.close();
        const QImage back(result.path);
        EXPECT_EQ(back.size(), size);
        const QColor c = back.pixelColor(size.width() / 2, size.height() / 2);
        EXPECT_NEAR(c.red(), 30, 6);
        EXPECT_NEAR(c.green(), 140, 6);
        EXPECT_NEAR(c.blue(), 200, 6);
        QFile::remove(result.path);
    }
}

TEST_F(PhotoCaptureTest, PhotosOfOneSecondGetDistinctNamesThatSortAfterTheFirst)
{
    QImage first = Picture(64, 48);
    const PhotoResult a = SavePhoto(first, dir.path(), ThirdOfMay());
    ASSERT_TRUE(a.saved);
    QFile firstFile(a.path);
    ASSERT_TRUE(firstFile.open(QIODevice::ReadOnly));
    const QByteArray firstBytes = firstFile.readAll();
    firstFile.close();

    std::vector<QString> names{QFileInfo(a.path).fileName()};
    for (int i = 0; i < 11; ++i) {
        QImage other(64, 48, QImage::Format_RGB32);
        other.fill(QColor(i * 20, 0, 0));
        const PhotoResult more = SavePhoto(other, dir.path(), ThirdOfMay());
        ASSERT_TRUE(more.saved);
        names.push_back(QFileInfo(more.path).fileName());
    }
    EXPECT_EQ(names[1], "2026-5-3-9-7-5_02.jpg");
    EXPECT_EQ(names[11], "2026-5-3-9-7-5_12.jpg");

    // The first photo is untouched.
    ASSERT_TRUE(firstFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(firstFile.readAll(), firstBytes);

    // In a case-insensitive name sort (the photo strip's order) they follow in taking order.
    for (size_t i = 1; i < names.size(); ++i) {
        EXPECT_TRUE(names[i].endsWith(".jpg"));
        EXPECT_LT(QString::compare(names[i - 1], names[i], Qt::CaseInsensitive), 0) << names[i].toStdString();
        EXPECT_LT(names[i - 1].toUpper(), names[i].toUpper());
    }
    QDir listing(dir.path(), "*.jpg", QDir::Name | QDir::IgnoreCase, QDir::Files);
    QStringList expected;
    for (const QString& name : names)
        expected << name;
    EXPECT_EQ(listing.entryList(), expected);
    EXPECT_EQ(Entries(dir.path()).size(), 12);

    // The next second's photo keeps the plain name.
    const PhotoResult later = SavePhoto(first, dir.path(), ThirdOfMay() + 1);
    EXPECT_EQ(QFileInfo(later.path).fileName(), "2026-5-3-9-7-6.jpg");
}

TEST_F(PhotoCaptureTest, MissingFolderIsReportedAndNothingIsWritten)
{
    const QString missing = dir.filePath("gone");
    const PhotoResult result = SavePhoto(Picture(64, 48), missing, ThirdOfMay());
    EXPECT_FALSE(result.saved);
    EXPECT_TRUE(result.message.startsWith("照片保存失败：")) << result.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST_F(PhotoCaptureTest, FailedWriteLeavesNoFileBehind)
{
    // A picture that cannot be encoded fails after the temporary file was made.
    const PhotoResult result = SavePhoto(QImage(), dir.path(), ThirdOfMay());
    EXPECT_FALSE(result.saved);
    EXPECT_TRUE(result.message.startsWith("照片保存失败：")) << result.message.toStdString();
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST_F(PhotoCaptureTest, UnwritableFolderIsReportedAndLeavesNoFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "no read-only folder test on this platform";
#else
    QString folder = dir.filePath("locked");
    if (geteuid() == 0) {
        // Permissions do not stop root; /proc is a folder nobody can create files in.
        folder = "/proc";
    } else {
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const PhotoResult result = SavePhoto(Picture(64, 48), folder, ThirdOfMay());
    EXPECT_FALSE(result.saved);
    EXPECT_TRUE(result.message.startsWith("照片保存失败：")) << result.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder + "/2026-5-3-9-7-5.jpg"));
    if (geteuid() != 0) {
        EXPECT_TRUE(Entries(folder).isEmpty());
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
#endif
}

TEST_F(PhotoCaptureTest, SeveralRequestsBeforeAFrameGiveOnePhoto)
{
    std::vector<PhotoResult> reports;
    PhotoCapture capture(dir.path(), [&reports](const PhotoResult& r) { reports.push_back(r); },
                         [] { return ThirdOfMay(); });
    const QImage picture = Picture(64, 48);
    EXPECT_FALSE(capture.SavePhotoIfRequested(picture)); // no request, no photo
    capture.Request();
    capture.Request();
    capture.Request();
    EXPECT_TRUE(capture.requested());
    EXPECT_TRUE(capture.SavePhotoIfRequested(picture));
    EXPECT_FALSE(capture.requested());
    EXPECT_FALSE(capture.SavePhotoIfRequested(picture));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].saved);
    EXPECT_EQ(Entries(dir.path()), QStringList{"2026-5-3-9-7-5.jpg"});
}

TEST_F(PhotoCaptureTest, FailureIsReportedThroughTheCallbackAndTheRequestIsCleared)
{
    std::vector<PhotoResult> reports;
    PhotoCapture capture(dir.filePath("gone"), [&reports](const PhotoResult& r) { reports.push_back(r); });
    capture.Request();
    EXPECT_TRUE(capture.SavePhotoIfRequested(Picture(64, 48)));
    EXPECT_FALSE(capture.requested());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].saved);
    EXPECT_FALSE(reports[0].message.isEmpty());

    capture.SetPhotoDir(dir.path()); // the folder setting changed
    capture.Request();
    capture.SavePhotoIfRequested(Picture(64, 48));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[1].saved);
    EXPECT_EQ(QFileInfo(reports[1].path).dir(), QDir(dir.path()));
}

TEST_F(PhotoCaptureTest, ABurstStripIsNamedAsOneBesideThePhotosOfItsSecond)
{
    ASSERT_TRUE(SavePhoto(Picture(64, 48), dir.path(), ThirdOfMay()).saved);
    PhotoCapture capture(dir.path(), {}, [] { return ThirdOfMay(); });
    capture.QueuePhoto(Picture(64, 48), QStringLiteral("-四连拍"));
    capture.QueuePhoto(Picture(64, 48), QStringLiteral("-四连拍"));
    capture.FinishQueuedPhotos();
    EXPECT_EQ(Entries(dir.path()),
              (QStringList { "2026-5-3-9-7-5-四连拍.jpg", "2026-5-3-9-7-5-四连拍_02.jpg", "2026-5-3-9-7-5.jpg" }));
}

TEST_F(PhotoCaptureTest, QueuedPhotosAreWrittenInTheirOrderNamedAfterTheirFrames)
{
    std::mutex lock;
    std::vector<PhotoResult> reports;
    std::time_t now = ThirdOfMay();
    PhotoCapture capture(
        dir.path(),
        [&](const PhotoResult& r) {
            std::scoped_lock hold(lock);
            reports.push_back(r);
        },
        [&now] { return now++; }); // each frame a second later
    EXPECT_FALSE(capture.QueuePhotoIfRequested(Picture(64, 48)));
    const QSize sizes[] = { { 64, 48 }, { 32, 24 }, { 48, 36 } };
    for (const QSize& size : sizes) {
        capture.Request();
        EXPECT_TRUE(capture.QueuePhotoIfRequested(Picture(size.width(), size.height())));
    }
    capture.SetPhotoDir(dir.filePath("gone")); // a later change does not move photos already taken
    capture.FinishQueuedPhotos();
    std::scoped_lock hold(lock);
    ASSERT_EQ(reports.size(), 3u);
    const char* names[] = { "2026-5-3-9-7-5.jpg", "2026-5-3-9-7-6.jpg", "2026-5-3-9-7-7.jpg" };
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(reports[i].saved) << i;
        EXPECT_EQ(QFileInfo(reports[i].path).fileName(), names[i]);
        EXPECT_EQ(QImage(reports[i].path).size(), sizes[i]);
    }
}

} // namespace

TEST_F(PhotoCaptureTest, OnlyTheCreatableFolderIsMadeOnTheFirstPhoto)
{
    std::vector<PhotoResult> reports;
    const QString pictures = dir.filePath("Pictures/Parvel 乐影屋");
    PhotoCapture capture(pictures, [&reports](const PhotoResult& r) { reports.push_back(r); },
                         [] { return ThirdOfMay(); });
    capture.SetCreatableDir(pictures);
    capture.Request();
    capture.SavePhotoIfRequested(Picture(64, 48));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].saved) << reports[0].message.toStdString();
    EXPECT_EQ(Entries(pictures), QStringList{"2026-5-3-9-7-5.jpg"});

    // A folder the user chose and that has gone since is not made again; the photo is kept in the
    // default folder and the missing folder named, so it is never lost.
    const QString chosen = dir.filePath("chosen");
    capture.SetPhotoDir(chosen);
    capture.Request();
    capture.SavePhotoIfRequested(Picture(64, 48));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[1].saved);
    EXPECT_EQ(reports[1].missingFolder, chosen);
    EXPECT_EQ(QFileInfo(reports[1].path).absolutePath(), QFileInfo(pictures).absoluteFilePath());
    EXPECT_EQ(Entries(pictures), (QStringList { "2026-5-3-9-7-5.jpg", "2026-5-3-9-7-5_02.jpg" }));
    EXPECT_FALSE(QFileInfo::exists(chosen));
}
