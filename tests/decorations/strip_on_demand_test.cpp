#include "decorations/CFrameView.h"
#include "decorations/FillStrip.h"
#include "decorations/FolderScan.h"
#include "decorations/Photostrip.h"
#include "decorations/ThumbnailCache.h"
#include "decorations/TouchOverlay.h"
#include "ui/MessageBoxes.h"
#include "strip_test_support.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class StripOnDemandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureStripTestApp();
        ASSERT_TRUE(dir.isValid());
    }
    QString File(const QString& name) const { return dir.filePath(name); }
    std::filesystem::path Folder(const QString& sub = {}) const
    {
        return QStringToPath(sub.isEmpty() ? dir.path() : dir.filePath(sub));
    }
    std::unique_ptr<Photostrip> Strip(bool onDemand, StripContent content = StripContent::Photos,
                                      int32_t kind = kPhotoStripKind, int width = 800)
    {
        auto strip = std::make_unique<Photostrip>(nullptr, width, 200, 0, StripPlacement::Bottom,
                                                  content, kind);
        strip->SetLoadOnDemand(onDemand);
        return strip;
    }
    // Photos of one colour, 64 × 48, named 000.jpg, 001.jpg, … in the given sub-folder.
    void WritePhotos(const QString& sub, int count, QColor colour)
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(sub));
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(WriteTestImage(
                File(sub + QStringLiteral("/%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), 64, 48, colour));
    }
    static QImage Painted(const Photostrip& strip)
    {
        QImage canvas(strip.stripWidth(), strip.stripHeight(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&canvas);
        strip.Paint(painter);
        return canvas;
    }

    QTemporaryDir dir;
};

PhotoThumbnail Thumb(int width, int height)
{
    PhotoThumbnail t;
    t.bitmap = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    t.width = static_cast<float>(width);
    t.height = static_cast<float>(height);
    return t;
}

} // namespace

TEST_F(StripOnDemandTest, HeaderLayoutPlacesEveryThumbnailAsDecodingDoes)
{
    ASSERT_TRUE(WriteTestImage(File("a.jpg"), 100, 50));
    ASSERT_TRUE(WriteTestImage(File("B.JPG"), 50, 50));
    ASSERT_TRUE(WriteTestImage(File("c.jpg"), 640, 480));
    ASSERT_TRUE(WriteTestImage(File("d.jpg"), 1, 1000)); // a thumbnail less than a pixel wide
    QFile damaged(File("e.jpg"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\xFF\xD8\xFF not a picture after all");
    damaged.close();
    QFile text(File("f.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("shopping list");
    text.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("g.jpg"));
    ASSERT_TRUE(WriteTestImage(File("h.jpg"), 333, 77));
    ASSERT_TRUE(WriteTestImage(File("i.png"), 120, 40)); // not listed by the photos strip

    auto decoded = Strip(false);
    auto laidOut = Strip(true);
    decoded->SetScrollOffset(-12.5f);
    laidOut->SetScrollOffset(-12.5f);
    FillStripStats decodedStats, laidOutStats;
    ASSERT_TRUE(FillStrip(*decoded, Folder(), &decodedStats));
    ASSERT_TRUE(FillStrip(*laidOut, Folder(), &laidOutStats));
    EXPECT_EQ(laidOutStats.shown, decodedStats.shown);
    EXPECT_EQ(laidOutStats.skipped, decodedStats.skipped);
    const auto& a = decoded->thumbnails();
    const auto& b = laidOut->thumbnails();
    ASSERT_EQ(a.size(), 4u);
    ASSERT_EQ(b.size(), a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(a[i]->path().toStdString());
        EXPECT_EQ(b[i]->path(), a[i]->path());
        EXPECT_EQ(b[i]->sequence(), a[i]->sequence());
        EXPECT_EQ(b[i]->x(), a[i]->x());
        EXPECT_EQ(b[i]->y(), a[i]->y());
        EXPECT_EQ(b[i]->width(), a[i]->width());
        EXPECT_EQ(b[i]->height(), a[i]->height());
        EXPECT_EQ(b[i]->pickBounds().yMin, a[i]->pickBounds().yMin);
        EXPECT_EQ(b[i]->moveRange().yMax, a[i]->moveRange().yMax);
    }
    EXPECT_EQ(laidOut->ThumbnailsExtent(), decoded->ThumbnailsExtent());

    // The same for the frames strip's files, animated ones included.
    ASSERT_TRUE(WriteTestImage(File("j.gif"), 90, 30));
    ASSERT_TRUE(WriteTestImage(File("k.gif"), 30, 90));
    auto decodedGifs = Strip(false, StripContent::Frames, 0);
    auto laidOutGifs = Strip(true, StripContent::Frames, 0);
    ASSERT_TRUE(FillStrip(*decodedGifs, Folder()));
    ASSERT_TRUE(FillStrip(*laidOutGifs, Folder()));
    ASSERT_EQ(laidOutGifs->thumbnails().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(laidOutGifs->thumbnails()[i]->x(), decodedGifs->thumbnails()[i]->x());
        EXPECT_EQ(laidOutGifs->thumbnails()[i]->width(), decodedGifs->thumbnails()[i]->width());
    }
}

TEST_F(StripOnDemandTest, CacheKeepsItsByteBoundLeastRecentlyShownLeavingFirst)
{
    const size_t one = static_cast<size_t>(Thumb(10, 10).bitmap.sizeInBytes()); // 400 bytes
    ThumbnailCache cache(3 * one);
    EXPECT_EQ(ThumbnailCache(1).capacity(), 1u);
    EXPECT_EQ(ThumbnailCache().capacity(), size_t{64} << 20);
    EXPECT_TRUE(cache.Insert("a", Thumb(10, 10)).empty());
    EXPECT_TRUE(cache.Insert("b", Thumb(10, 10)).empty());
    EXPECT_TRUE(cache.Insert("c", Thumb(10, 10)).empty());
    EXPECT_EQ(cache.bytes(), 3 * one);
    cache.Touch("a"); // shown again: now b is the oldest
    EXPECT_EQ(cache.Insert("d", Thumb(10, 10)), std::vector<QString>{"b"});
    EXPECT_EQ(cache.Order(), (std::vector<QString>{"c", "a", "d"}));
    EXPECT_EQ(cache.Find("b"), nullptr);
    ASSERT_NE(cache.Find("a"), nullptr);

    // Replacing an entry counts its bytes once; a bigger one pushes out as many as needed.
    EXPECT_TRUE(cache.Insert("a", Thumb(10, 10)).empty());
    EXPECT_EQ(cache.bytes(), 3 * one);
    EXPECT_EQ(cache.Insert("big", Thumb(20, 10)), (std::vector<QString>{"c", "d"}));
    EXPECT_EQ(cache.bytes(), 3 * one);
    // One that alone exceeds the bound stays, so what is on screen can be drawn.
    EXPECT_EQ(cache.Insert("huge", Thumb(40, 40)), (std::vector<QString>{"a", "big"}));
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_GT(cache.bytes(), cache.capacity());
    EXPECT_EQ(cache.Insert("e", Thumb(10, 10)), std::vector<QString>{"huge"});
    EXPECT_EQ(cache.SetCapacity(0), std::vector<QString>{"e"});
    EXPECT_EQ(cache.bytes(), 0u);
}

TEST_F(StripOnDemandTest, PlaceholderUntilTheWorkerHasDecodedWhatIsInView)
{
    WritePhotos("p", 30, QColor(220, 30, 30)); // 200 × 150 thumbnails, 225 apart
    auto strip = Strip(true);
    ASSERT_TRUE(FillStrip(*strip, Folder("p")));
    const auto& t = strip->thumbnails();
    ASSERT_EQ(t.size(), 30u);
    EXPECT_TRUE(t[0]->bitmap().isNull()) << "nothing decoded on the interface thread";
    const QColor placeholder = Painted(*strip).pixelColor(30, 50);
    EXPECT_GT(placeholder.blue(), 150) << "the strip's lavender, not the photo's red";

    ASSERT_TRUE(WaitUntil([&] { return !strip->thumbnailsPending(); }, 10000));
    const QColor shown = Painted(*strip).pixelColor(30, 50);
    EXPECT_GT(shown.red(), 180);
    EXPECT_LT(shown.blue(), 80);
    // In view (up to 800) and one strip width ahead; far thumbnails are left alone.
    for (size_t i = 0; i < t.size(); ++i) {
        const bool near = t[i]->x() < 800 + 800;
        EXPECT_EQ(!t[i]->bitmap().isNull(), near) << i;
    }
    EXPECT_EQ(strip->decodedThumbnails().size(), 7u);

    // Scrolling asks for what comes into view and the margin past it.
    strip->ManipulationDelta(-3000.0f, 0.0f);
    ASSERT_TRUE(WaitUntil([&] { return !strip->thumbnailsPending(); }, 10000));
    for (const auto& photo : t)
        if (photo->x() + photo->width() > 0 && photo->x() < 800) {
            EXPECT_FALSE(photo->bitmap().isNull()) << photo->path().toStdString();
        }
}

TEST_F(StripOnDemandTest, SmallCacheDropsTheBitmapsOfThumbnailsShownLongestAgo)
{
    WritePhotos("p", 30, QColor(30, 200, 30));
    auto strip = Strip(true, StripContent::Photos, kPhotoStripKind, 300);
    const size_t one = 200u * 150u * 4u;
    strip->SetThumbnailCacheBytes(4 * one);
    ASSERT_TRUE(FillStrip(*strip, Folder("p")));
    for (int step = 0; step < 6; ++step) {
        strip->ManipulationDelta(-450.0f, 0.0f); // two thumbnails further each time
        ASSERT_TRUE(WaitUntil([&] { return !strip->thumbnailsPending(); }, 10000));
        EXPECT_LE(strip->decodedThumbnails().bytes(), 4 * one);
    }
    const auto& t = strip->thumbnails();
    size_t holding = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        const bool inCache = strip->decodedThumbnails().Find(t[i]->path()) != nullptr;
        EXPECT_EQ(!t[i]->bitmap().isNull(), inCache) << "no pixels kept outside the bound " << i;
        holding += inCache;
    }
    EXPECT_EQ(holding, 4u);
    EXPECT_TRUE(t[0]->bitmap().isNull()) << "the first shown left first";
    for (const auto& photo : t)
        if (photo->x() + photo->width() > 0 && photo->x() < 300) {
            EXPECT_FALSE(photo->bitmap().isNull()) << "what is on screen stays";
        }
}

TEST_F(StripOnDemandTest, RefillWhileDecodingShowsNothingOfTheOldFolder)
{
    WritePhotos("old", 40, QColor(230, 20, 20));
    WritePhotos("new", 40, QColor(20, 20, 230));
    auto strip = Strip(true);
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(FillStrip(*strip, Folder("old")));
        strip->ManipulationDelta(-900.0f, 0.0f);
        ASSERT_TRUE(FillStrip(*strip, Folder("new"))); // decodes for the old folder in flight
    }
    ASSERT_TRUE(WaitUntil([&] { return !strip->thumbnailsPending(); }, 10000));
    int decoded = 0;
    for (const auto& photo : strip->thumbnails()) {
        EXPECT_TRUE(photo->path().contains(QLatin1String("/new/")));
        if (photo->bitmap().isNull())
            continue;
        ++decoded;
        const QColor c = photo->bitmap().pixelColor(100, 75);
        EXPECT_GT(c.blue(), 180) << photo->path().toStdString();
        EXPECT_LT(c.red(), 80) << photo->path().toStdString();
    }
    EXPECT_GT(decoded, 0);

    // A photo replaced under the same name is decoded again, not taken from the cache.
    const QString first = strip->thumbnails()[0]->path();
    ASSERT_TRUE(QFile::remove(first));
    ASSERT_TRUE(WriteTestImage(first, 64, 48, QColor(20, 230, 20)));
    QFile(first).setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    strip->SetScrollOffset(0.0f); // back to the start, where that photo is
    ASSERT_TRUE(FillStrip(*strip, Folder("new")));
    ASSERT_TRUE(WaitUntil([&] { return !strip->thumbnailsPending(); }, 10000));
    ASSERT_FALSE(strip->thumbnails()[0]->bitmap().isNull());
    EXPECT_GT(strip->thumbnails()[0]->bitmap().pixelColor(100, 75).green(), 180);

    // Going away with decodes in flight is safe too.
    ASSERT_TRUE(FillStrip(*strip, Folder("old")));
    EXPECT_TRUE(strip->thumbnailsPending());
    strip.reset();
    QCoreApplication::processEvents();
}

TEST_F(StripOnDemandTest, AFlingIsDecodedForWhereItComesToRest)
{
    WritePhotos("p", 60, QColor(200, 200, 30));
    auto strip = Strip(true, StripContent::Photos, kPhotoStripKind, 300);
    ASSERT_TRUE(FillStrip(*strip, Folder("p")));
    ASSERT_TRUE(WaitUntil([&] { return !strip->thumbnailsPending(); }, 10000));
    // A quick swipe to the left on an empty part of the strip (below the thumbnails' reach).
    strip->OnContact(MakeContact(1, ContactDown, 280, 195, 1000));
    for (int i = 1; i <= 5; ++i)
        strip->OnContact(MakeContact(1, ContactMove, 280 - 30 * i, 195, 1000 + 10 * i));
    strip->OnContact(MakeContact(1, ContactUp, 130, 195, 1050));
    ASSERT_TRUE(strip->inertiaRunning());
    ASSERT_TRUE(strip->restOffset().has_value());
    const float rest = *strip->restOffset();
    EXPECT_LT(rest, strip->scrollOffset() - 300.0f) << "a fling travels well past the view";
    for (int64_t now = 2000; strip->inertiaRunning() && now < 60000; now += 10)
        strip->Tick(now);
    ASSERT_FALSE(strip->inertiaRunning());
    EXPECT_NEAR(strip->scrollOffset(), rest, 0.5f);
    EXPECT_FALSE(strip->restOffset().has_value());
    ASSERT_TRUE(WaitUntil([&] { return !strip->thumbnailsPending(); }, 10000));
    for (const auto& photo : strip->thumbnails())
        if (photo->x() + photo->width() > 0 && photo->x() < 300) {
            EXPECT_FALSE(photo->bitmap().isNull());
        }
}

TEST_F(StripOnDemandTest, PaneShowsTheStartOfALargePhotoFolderWhileTheRestIsRead)
{
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes installBoxes{boxes};
    const int many = 70; // too many to check on the interface thread
    WritePhotos("photos", many, QColor(200, 60, 200));
    PaneFolders folders{Folder("frames"), Folder("addons"), Folder("photos")};
    CFrameView pane(folders);
    pane.resize(300, 700);
    pane.show();
    Photostrip* photos = pane.photoStrip();
    ASSERT_TRUE(photos->loadsOnDemand());
    EXPECT_FALSE(pane.frameStrip()->loadsOnDemand());
    ASSERT_EQ(photos->thumbnails().size(), CFrameView::kStartOfRow) << "shown before the rest is read";
    ASSERT_TRUE(pane.loading());
    photos->ManipulationDelta(-100.0f, 0.0f); // the user scrolls meanwhile
    pane.WaitForLoads();
    ASSERT_EQ(photos->thumbnails().size(), static_cast<size_t>(many));
    EXPECT_FLOAT_EQ(photos->scrollOffset(), -100.0f) << "the row stays where it was scrolled to";
    EXPECT_FLOAT_EQ(photos->thumbnails()[1]->x(), 25.0f + 280.0f + 25.0f - 100.0f);
    EXPECT_FALSE(photos->thumbnails()[0]->bitmap().isNull());
    const auto& targets = pane.overlay()->targets().targets();
    EXPECT_EQ(std::count(targets.begin(), targets.end(), static_cast<ITouchTarget*>(photos)), 1);
    QCoreApplication::processEvents();
    for (const auto& box : boxes.shown)
        EXPECT_FALSE(box.text.contains(QStringLiteral("赶快试试拍照功能吧"))) << "the photos folder is not empty";

    // A new photo reloads from the start, where it is as the newest, marked; what was decoded
    // is shown again without waiting.
    ASSERT_TRUE(WriteTestImage(File("photos/2100-1-1-0-0-0.jpg"), 64, 48));
    pane.OnPhotoSaved(File("photos/2100-1-1-0-0-0.jpg"));
    EXPECT_EQ(photos->scrollOffset(), 0.0f);
    EXPECT_EQ(photos->thumbnails()[0]->path(), File("photos/2100-1-1-0-0-0.jpg"));
    EXPECT_EQ(photos->highlightedPath(), File("photos/2100-1-1-0-0-0.jpg"));
    EXPECT_FALSE(photos->thumbnails()[1]->bitmap().isNull());
    pane.WaitForLoads();
    EXPECT_EQ(photos->thumbnails().size(), static_cast<size_t>(many) + 1);
    EXPECT_EQ(photos->highlightedPath(), File("photos/2100-1-1-0-0-0.jpg"));
}
