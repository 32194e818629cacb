#include "decorations/FolderScan.h"
#include "decorations/PhotoThumbnail.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <opencv2/videoio.hpp>

namespace {

QString WriteVideo(const QDir& dir, const QString& name, cv::Scalar bgr)
{
    const QString path = dir.filePath(name);
    cv::VideoWriter writer(QFile::encodeName(path).toStdString(), cv::CAP_FFMPEG,
        cv::VideoWriter::fourcc('m', 'p', '4', 'v'), 10, cv::Size(160, 120));
    if (!writer.isOpened())
        return {};
    for (int i = 0; i < 5; ++i)
        writer.write(cv::Mat(120, 160, CV_8UC3, bgr));
    return path;
}

TEST(StripMedia, ThePhotosStripListsVideosAndGifsAmongThePhotosInNameOrder)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (const char* name : { "b.jpg", "A.GIF", "c.png", "D.mp4", "e.mov" })
        ASSERT_TRUE(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));
    ASSERT_TRUE(folder.mkdir("f.mp4")); // a folder never matches
    QStringList names;
    for (const QString& path : ScanFolder(dir.path().toStdString(), StripExtensions(StripContent::Photos, kPhotoStripKind)))
        names << QFileInfo(path).fileName();
    EXPECT_EQ(names, (QStringList { "A.GIF", "b.jpg", "D.mp4" }));
    // The frames strip still lists its one kind.
    EXPECT_EQ(StripExtensions(StripContent::Frames, 1), QStringList { ".png" });
}

TEST(StripMedia, AVideoThumbnailIsItsFirstFrameWithAFilmBadge)
{
    QTemporaryDir dir;
    const QString path = WriteVideo(QDir(dir.path()), "clip.mp4", cv::Scalar(30, 200, 30));
    ASSERT_FALSE(path.isEmpty());
    const auto header = ReadPictureHeader(path);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->size, QSize(160, 120));

    const auto thumb = LoadPhotoThumbnail(path, 60.0f);
    ASSERT_TRUE(thumb.has_value());
    EXPECT_EQ(thumb->bitmap.size(), QSize(80, 60));
    // The picture shows through between the badge's bands and the play button...
    const QColor picture = thumb->bitmap.pixelColor(10, 30);
    EXPECT_GT(picture.green(), 150);
    EXPECT_LT(picture.red(), 80);
    // ...and the film bands darken the top and bottom edges.
    const QColor band = thumb->bitmap.pixelColor(1, 1);
    EXPECT_LT(band.green(), 60);
    EXPECT_LT(thumb->bitmap.pixelColor(1, 58).green(), 60);

    // A file that is no video gives no thumbnail rather than a broken one.
    QFile broken(QDir(dir.path()).filePath("broken.mp4"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a video");
    broken.close();
    EXPECT_FALSE(LoadPhotoThumbnail(broken.fileName(), 60.0f).has_value());
    EXPECT_FALSE(ReadPictureHeader(broken.fileName()).has_value());
}

} // namespace
