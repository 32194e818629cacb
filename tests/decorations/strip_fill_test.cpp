#include "decorations/FillStrip.h"
#include "decorations/FolderScan.h"
#include "decorations/Photostrip.h"
#include "decorations/PhotoThumbnail.h"
#include "strip_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class StripFillTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureStripTestApp();
        ASSERT_TRUE(dir.isValid());
    }
    QString File(const QString& name) const { return dir.filePath(name); }
    std::filesystem::path Folder() const { return QStringToPath(dir.path()); }
    std::unique_ptr<Photostrip> Strip(StripPlacement placement, StripContent content, int32_t kind,
                                      int height = 200)
    {
        return std::make_unique<Photostrip>(nullptr, 800, height, 0, placement, content, kind);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(StripFillTest, ThumbnailsKeepAspectAtThreeQuartersOfTheStripHeight)
{
    // Named by the moments they were taken; the newest comes first.
    ASSERT_TRUE(WriteTestImage(File("2026-5-3-9-7-7.jpg"), 100, 50));
    ASSERT_TRUE(WriteTestImage(File("2026-5-3-9-7-6.jpg"), 50, 50));
    ASSERT_TRUE(WriteTestImage(File("2026-5-3-9-7-5.jpg"), 200, 100));
    struct Case {
        StripPlacement placement;
        StripContent content;
        float y;
    };
    for (Case c : {Case{StripPlacement::Top, StripContent::Photos, 10.0f},
                   Case{StripPlacement::Bottom, StripContent::Photos, 40.0f}}) {
        auto strip = Strip(c.placement, c.content, kPhotoStripKind);
        ASSERT_TRUE(FillStrip(*strip, Folder()));
        const auto& t = strip->thumbnails();
        ASSERT_EQ(t.size(), 3u);
        const float widths[] = {300, 150, 300};
        const float xs[] = {25, 350, 525};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(t[i]->width(), widths[i]);
            EXPECT_FLOAT_EQ(t[i]->height(), 150);
            EXPECT_FLOAT_EQ(t[i]->x(), xs[i]);
            EXPECT_FLOAT_EQ(t[i]->y(), c.y);
            EXPECT_EQ(t[i]->bitmap().size(), QSize(static_cast<int>(widths[i]), 150));
            EXPECT_EQ(t[i]->bitmap().format(), QImage::Format_ARGB32_Premultiplied);
            EXPECT_EQ(t[i]->sequence(), static_cast<int>(i) + 1);
        }
        EXPECT_EQ(t[2]->path(), File("2026-5-3-9-7-5.jpg"));
    }
}

TEST_F(StripFillTest, PhotosStripListsNewestFirstWhileTheOtherStripsKeepNameOrder)
{
    auto written = [this](const QString& name, const QDateTime& modified) {
        if (!WriteTestImage(File(name), 20, 20))
            return false;
        QFile file(File(name));
        return file.open(QIODevice::ReadWrite) && file.setFileTime(modified, QFileDevice::FileModificationTime);
    };
    const QDateTime morning(QDate(2026, 12, 8), QTime(10, 5, 3));
    // Hours and days of one digit would scramble a name order.
    ASSERT_TRUE(written("2026-12-8-9-59-59.jpg", morning));
    ASSERT_TRUE(written("2026-12-8-10-5-3.jpg", morning));
    ASSERT_TRUE(written("2026-12-8-10-5-3_02.jpg", morning));
    ASSERT_TRUE(written("2026-12-8-10-5-3-四连拍.jpg", morning.addMSecs(400))); // after its shots
    ASSERT_TRUE(written("2026-12-9-1-0-0.gif", morning));
    // Names without a time go by their files' times.
    ASSERT_TRUE(written("holiday.jpg", QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0))));
    ASSERT_TRUE(written("2026-13-40-0-0-0.jpg", QDateTime(QDate(2020, 1, 1), QTime(0, 0))));
    ASSERT_TRUE(written("0-0-0--1--1--1.jpg", QDateTime(QDate(2019, 1, 1), QTime(0, 0))));

    auto photos = Strip(StripPlacement::Bottom, StripContent::Photos, kPhotoStripKind, 40);
    ASSERT_TRUE(FillStrip(*photos, Folder()));
    QStringList listed;
    for (const auto& t : photos->thumbnails())
        listed << QFileInfo(t->path()).fileName();
    EXPECT_EQ(listed, (QStringList{"2026-12-9-1-0-0.gif", "2026-12-8-10-5-3_02.jpg",
                                   "2026-12-8-10-5-3-四连拍.jpg", "2026-12-8-10-5-3.jpg", "holiday.jpg",
                                   "2026-12-8-9-59-59.jpg", "2026-13-40-0-0-0.jpg", "0-0-0--1--1--1.jpg"}));

    ASSERT_TRUE(written("2026-12-8-9-0-0.png", morning));
    ASSERT_TRUE(written("2026-12-7-10-0-0.png", morning));
    auto frames = Strip(StripPlacement::Top, StripContent::Frames, 1, 40);
    ASSERT_TRUE(FillStrip(*frames, Folder()));
    ASSERT_EQ(frames->thumbnails().size(), 2u);
    EXPECT_EQ(frames->thumbnails()[0]->path(), File("2026-12-7-10-0-0.png"));
}

TEST_F(StripFillTest, PatternsFollowContentAndKindIgnoringCase)
{
    ASSERT_TRUE(WriteTestImage(File("b.png"), 20, 20));
    ASSERT_TRUE(WriteTestImage(File("a.PNG"), 20, 20));
    ASSERT_TRUE(WriteTestImage(File("C.Png"), 20, 20));
    ASSERT_TRUE(WriteTestImage(File("d.gif"), 20, 20));
    ASSERT_TRUE(WriteTestImage(File("e.jpg"), 20, 20));
    auto frames = Strip(StripPlacement::Top, StripContent::Frames, 1);
    ASSERT_TRUE(FillStrip(*frames, Folder()));
    ASSERT_EQ(frames->thumbnails().size(), 3u);
    EXPECT_EQ(frames->thumbnails()[0]->path(), File("a.PNG"));
    EXPECT_EQ(frames->thumbnails()[1]->path(), File("b.png"));
    EXPECT_EQ(frames->thumbnails()[2]->path(), File("C.Png"));

    auto addOns = Strip(StripPlacement::Middle, StripContent::AddOns, 0);
    ASSERT_TRUE(FillStrip(*addOns, Folder()));
    ASSERT_EQ(addOns->thumbnails().size(), 1u);
    EXPECT_EQ(addOns->thumbnails()[0]->path(), File("d.gif"));
    EXPECT_EQ(addOns->thumbnails()[0]->bitmap().pixelColor(75, 75), QColor(200, 120, 40));

    auto nothing = Strip(StripPlacement::Top, StripContent::Frames, kPhotoStripKind);
    EXPECT_FALSE(FillStrip(*nothing, Folder()));
    EXPECT_TRUE(nothing->thumbnails().empty());
}

TEST_F(StripFillTest, UnreadableEntriesAreSkippedAndTheRestStay)
{
    ASSERT_TRUE(WriteTestImage(File("a.png"), 40, 20));
    QFile damaged(File("b.png"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x89PNG\r\n\x1a\n this is not really a picture");
    damaged.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("c.png"));
    ASSERT_TRUE(WriteTestImage(File("d.png"), 20, 20));

    auto strip = Strip(StripPlacement::Top, StripContent::Frames, 1);
    FillStripStats stats;
    EXPECT_TRUE(FillStrip(*strip, Folder(), &stats));
    ASSERT_EQ(strip->thumbnails().size(), 2u);
    EXPECT_EQ(stats.skipped, 1); // the folder never matches; the damaged file is skipped
    EXPECT_EQ(strip->thumbnails()[1]->path(), File("d.png"));
    EXPECT_FLOAT_EQ(strip->thumbnails()[1]->x(), 25 + 300 + 25);
    EXPECT_EQ(strip->thumbnails()[1]->sequence(), 2);
}

TEST_F(StripFillTest, MissingOrEmptyFolderLeavesTheStripEmpty)
{
    ASSERT_TRUE(WriteTestImage(File("a.png"), 40, 20));
    auto strip = Strip(StripPlacement::Top, StripContent::Frames, 1);
    ASSERT_TRUE(FillStrip(*strip, Folder()));
    EXPECT_FALSE(FillStrip(*strip, Folder() / "missing"));
    EXPECT_TRUE(strip->thumbnails().empty());
}

TEST_F(StripFillTest, PickBoundsAndMoveRangesFollowThePlacement)
{
    ASSERT_TRUE(WriteTestImage(File("a.jpg"), 40, 20));
    ASSERT_TRUE(WriteTestImage(File("a.png"), 40, 20));
    constexpr int32_t lo = CornerBounds::kMin, hi = CornerBounds::kMax;
    struct Case {
        StripPlacement placement;
        StripContent content;
        int32_t kind;
        int32_t pickYMin, pickYMax, moveYMin, moveYMax;
    };
    // Strip height 200: thumbnails 150 high, half of that 75, a quarter of the strip 50.
    for (Case c : {Case{StripPlacement::Top, StripContent::Frames, 1, lo, 50, -75, 50},
                   Case{StripPlacement::Bottom, StripContent::Photos, 2, 0, hi, 0, 125},
                   Case{StripPlacement::Middle, StripContent::AddOns, 1, lo, 50, -75, 125}}) {
        auto strip = Strip(c.placement, c.content, c.kind);
        ASSERT_TRUE(FillStrip(*strip, Folder()));
        const ConstrainedPhoto& photo = *strip->thumbnails().front();
        EXPECT_EQ(photo.pickBounds().xMin, lo);
        EXPECT_EQ(photo.pickBounds().xMax, hi);
        EXPECT_EQ(photo.pickBounds().yMin, c.pickYMin);
        EXPECT_EQ(photo.pickBounds().yMax, c.pickYMax);
        EXPECT_EQ(photo.moveRange().xMin, lo);
        EXPECT_EQ(photo.moveRange().yMin, c.moveYMin);
        EXPECT_EQ(photo.moveRange().yMax, c.moveYMax);
    }
}

TEST_F(StripFillTest, ReloadDecodesOnlyNewOrChangedFiles)
{
    ASSERT_TRUE(WriteTestImage(File("2026-5-3-9-7-1.jpg"), 64, 48));
    ASSERT_TRUE(WriteTestImage(File("2026-5-3-9-7-2.jpg"), 64, 48));
    auto strip = Strip(StripPlacement::Bottom, StripContent::Photos, kPhotoStripKind);
    FillStripStats stats;
    ASSERT_TRUE(FillStrip(*strip, Folder(), &stats));
    EXPECT_EQ(stats.decoded, 2);
    ASSERT_TRUE(WriteTestImage(File("2026-5-3-9-7-3.jpg"), 32, 48));
    ASSERT_TRUE(FillStrip(*strip, Folder(), &stats));
    EXPECT_EQ(stats.decoded, 1);
    EXPECT_EQ(stats.shown, 3);
    EXPECT_FLOAT_EQ(strip->thumbnails()[0]->width(), 100); // the newest, 32 × 48 at 150 high
}

TEST_F(StripFillTest, LargePhotoBecomesAThumbnailOfTheStripsSize)
{
    QImage big(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            big.setPixel(x, y, qRgb(x % 256, y % 256, 128));
    ASSERT_TRUE(big.save(File("big.jpg"), "JPG"));
    const auto thumb = LoadPhotoThumbnail(File("big.jpg"), 210.0f);
    ASSERT_TRUE(thumb.has_value());
    EXPECT_FLOAT_EQ(thumb->width, 280.0f);
    EXPECT_EQ(thumb->bitmap.size(), QSize(280, 210));
    EXPECT_EQ(qAlpha(thumb->bitmap.pixel(100, 100)), 255);
}

TEST_F(StripFillTest, ScaledTransparentPixelsStayValidPremultiplied)
{
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x)
            image.setPixel(x, y, qRgba(255, 255, 255, 255));
    ASSERT_TRUE(image.save(File("spot.png")));
    const auto thumb = LoadPhotoThumbnail(File("spot.png"), 150.0f);
    ASSERT_TRUE(thumb.has_value());
    for (int y = 0; y < thumb->bitmap.height(); ++y)
        for (int x = 0; x < thumb->bitmap.width(); ++x) {
            const QRgb raw = reinterpret_cast<const QRgb*>(thumb->bitmap.constScanLine(y))[x];
            ASSERT_LE(qRed(raw), qAlpha(raw)) << x << "," << y;
        }
}
