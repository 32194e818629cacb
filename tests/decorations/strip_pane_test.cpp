#include "decorations/CFrameView.h"
#include "decorations/FolderScan.h"
#include "ui/MessageBoxes.h"
#include "decorations/Photostrip.h"
#include "decorations/TouchOverlay.h"
#include "strip_test_support.h"

#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

class StripPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureStripTestApp();
        ASSERT_TRUE(root.isValid());
        QDir d(root.path());
        for (const char* sub : {"frames", "addons", "photos"})
            ASSERT_TRUE(d.mkdir(sub));
        folders.frames = QStringToPath(d.filePath("frames"));
        folders.addOns = QStringToPath(d.filePath("addons"));
        folders.photos = QStringToPath(d.filePath("photos"));
    }
    QString In(const char* sub, const QString& name) const
    {
        return QDir(root.path()).filePath(QString::fromLatin1(sub) + '/' + name);
    }
    std::unique_ptr<CFrameView> ShowPane(int w = 300, int h = 700)
    {
        auto pane = std::make_unique<CFrameView>(folders);
        pane->resize(w, h);
        pane->show();
        return pane;
    }

    QTemporaryDir root;
    PaneFolders folders;
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes installBoxes{boxes};
};

} // namespace

TEST_F(StripPaneTest, LaysOutThreeStripsUnderTheOverlay)
{
    auto pane = ShowPane();
    ASSERT_TRUE(pane->laidOut());
    EXPECT_EQ(pane->frameStrip()->geometry(), QRect(0, 0, 300, 280));
    EXPECT_EQ(pane->addOnStrip()->geometry(), QRect(0, 280, 300, 140));
    EXPECT_EQ(pane->photoStrip()->geometry(), QRect(0, 420, 300, 280));
    EXPECT_EQ(pane->overlay()->geometry(), QRect(0, 0, 300, 700));
    EXPECT_EQ(pane->childAt(150, 500), pane->overlay()) << "the overlay takes all input";
    const auto& targets = pane->overlay()->targets().targets();
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0], static_cast<ITouchTarget*>(pane->frameStrip()));
    EXPECT_EQ(targets[2], static_cast<ITouchTarget*>(pane->photoStrip()));
    EXPECT_EQ(pane->frameStrip()->kind(), 1);
    EXPECT_EQ(pane->addOnStrip()->kind(), 0);
    EXPECT_EQ(pane->photoStrip()->kind(), kPhotoStripKind);

    // A new size lays the strips out again in the same proportions: 0.4 of 900 is 360.
    pane->resize(500, 900);
    EXPECT_EQ(pane->frameStrip()->geometry(), QRect(0, 0, 500, 360));
    EXPECT_EQ(pane->addOnStrip()->geometry(), QRect(0, 360, 500, 180));
    EXPECT_EQ(pane->photoStrip()->geometry(), QRect(0, 540, 500, 360));
    EXPECT_EQ(pane->overlay()->geometry(), QRect(0, 0, 500, 900));
    EXPECT_EQ(pane->childAt(450, 850), pane->overlay());
    EXPECT_EQ(pane->overlay()->targets().targets().size(), 3u);
}

TEST_F(StripPaneTest, ResizedPaneKeepsScrollingAndDecodesOnlyForNewHeights)
{
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg"})
        ASSERT_TRUE(WriteTestImage(In("photos", name), 640, 480));
    ASSERT_TRUE(WriteTestImage(In("frames", "f.png"), 100, 100));
    auto pane = ShowPane(300, 700);
    Photostrip* photos = pane->photoStrip();
    Photostrip* frames = pane->frameStrip();
    TouchOverlay* overlay = pane->overlay();
    overlay->HandleMouse(MouseAction::Press, 290, 420 + 275, 100);
    overlay->HandleMouse(MouseAction::Move, 200, 420 + 275, 2000);
    overlay->HandleMouse(MouseAction::Release, 200, 420 + 275, 4000);
    const float offset = photos->scrollOffset();
    ASSERT_LT(offset, 0.0f);
    const ConstrainedPhoto* firstPhoto = photos->thumbnails()[0].get();
    const float firstX = firstPhoto->x();

    // Wider only: the same thumbnails, where they were.
    pane->resize(420, 700);
    EXPECT_EQ(photos->geometry(), QRect(0, 420, 420, 280));
    EXPECT_FALSE(pane->redecodePending());
    EXPECT_EQ(photos->thumbnails()[0].get(), firstPhoto);
    EXPECT_EQ(photos->thumbnails()[0]->x(), firstX);

    // Taller: every strip changes height and is decoded again, once the size stands still.
    pane->resize(420, 900);
    EXPECT_EQ(photos->geometry(), QRect(0, 540, 420, 360));
    EXPECT_TRUE(pane->redecodePending());
    pane->resize(420, 1000); // one more step of the same drag
    ASSERT_TRUE(WaitUntil([&] { return !pane->redecodePending() && !pane->loading(); }));
    ASSERT_EQ(photos->thumbnails().size(), 3u);
    EXPECT_FLOAT_EQ(photos->thumbnails()[0]->height(), 0.75f * 400);
    EXPECT_FLOAT_EQ(photos->thumbnails()[0]->bitmap().height(), 300);
    EXPECT_EQ(photos->scrollOffset(), offset);
    EXPECT_FLOAT_EQ(photos->thumbnails()[0]->x(), Photostrip::kThumbnailGap + offset);
    ASSERT_EQ(frames->thumbnails().size(), 1u);
    EXPECT_FLOAT_EQ(frames->thumbnails()[0]->height(), 0.75f * 400);
    EXPECT_EQ(overlay->targets().targets().size(), 3u);

    // Input reaches the strips at their new places: a drag low in the pane scrolls the photos.
    overlay->HandleMouse(MouseAction::Press, 400, 600 + 390, 5000);
    overlay->HandleMouse(MouseAction::Move, 360, 600 + 390, 7000);
    overlay->HandleMouse(MouseAction::Release, 360, 600 + 390, 9000);
    EXPECT_LT(photos->scrollOffset(), offset);
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.shown.size(), 1u) << "only the empty add-ons folder, at creation";
}

TEST_F(StripPaneTest, StripSwitchedDuringABackgroundFillIsDecodedForANewHeightToo)
{
    const int many = static_cast<int>(CFrameView::kBackgroundDecodeThreshold) + 4;
    for (int i = 0; i < many; ++i)
        ASSERT_TRUE(WriteTestImage(In("frames", QStringLiteral("%1.png").arg(i, 2, 10, QLatin1Char('0'))), 40, 40));
    ASSERT_TRUE(WriteTestImage(In("frames", "only.gif"), 80, 40));
    auto pane = ShowPane(300, 700);
    ASSERT_TRUE(pane->loading());
    pane->ReloadFrameStrip(0); // one GIF: filled at once, the PNG fill still running is stale
    pane->resize(300, 500);
    pane->DecodeForNewHeights(); // while the stale fill has not been collected
    ASSERT_TRUE(WaitUntil([&] { return !pane->loading() && !pane->redecodePending(); }, 10000));
    Photostrip* frames = pane->frameStrip();
    ASSERT_EQ(frames->thumbnails().size(), 1u);
    EXPECT_TRUE(frames->thumbnails()[0]->path().endsWith(QLatin1String("only.gif")));
    EXPECT_FLOAT_EQ(frames->thumbnails()[0]->height(), 0.75f * 200);
}

TEST_F(StripPaneTest, BackgroundFillOvertakenByANewHeightIsDecodedAgain)
{
    const int many = static_cast<int>(CFrameView::kBackgroundDecodeThreshold) + 4;
    for (int i = 0; i < many; ++i)
        ASSERT_TRUE(WriteTestImage(In("photos", QStringLiteral("%1.jpg").arg(i, 2, 10, QLatin1Char('0'))), 64, 48));
    auto pane = ShowPane(300, 700);
    ASSERT_TRUE(pane->loading());
    pane->resize(300, 500); // before the creation's thumbnails are ready
    ASSERT_TRUE(WaitUntil([&] { return !pane->loading() && !pane->redecodePending(); }, 10000));
    Photostrip* photos = pane->photoStrip();
    ASSERT_EQ(photos->thumbnails().size(), static_cast<size_t>(many)) << "none dropped as the wrong height";
    EXPECT_FLOAT_EQ(photos->thumbnails()[0]->height(), 0.75f * 200);
    QCoreApplication::processEvents();
    for (const auto& box : boxes.shown)
        EXPECT_FALSE(box.text.contains(QStringLiteral("赶快试试拍照功能吧"))) << "the photos folder is not empty";
}

TEST_F(StripPaneTest, EmptyFoldersAreReportedAtCreationOnly)
{
    auto pane = ShowPane();
    EXPECT_TRUE(boxes.shown.empty()) << "no modal box while the pane is being shown";
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("请检查照片目录"));
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("相框长廊 无法打开照片目录:\n\n目录不存在?\n或\n目录无相框?\n\n") +
                  QDir::toNativeSeparators(In("frames", "")));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(boxes.shown[0].parent, pane->frameStrip());
    EXPECT_EQ(boxes.shown[1].caption, QStringLiteral("请检查挂件目录"));
    EXPECT_TRUE(boxes.shown[1].text.startsWith(QStringLiteral("挂件长廊 无法打开挂件目录")));
    EXPECT_EQ(boxes.shown[2].caption, QStringLiteral("请检查照片目录"));
    EXPECT_TRUE(boxes.shown[2].text.contains(QStringLiteral("赶快试试拍照功能吧！")));

    pane->OnPhotoSaved();
    pane->ReloadFrameStrip(0);
    pane->ReloadAddOnStrip(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.shown.size(), 3u);
}

TEST_F(StripPaneTest, EmptyStripsSayWhichFilesToPutWhere)
{
    auto pane = ShowPane();
    QCoreApplication::processEvents();
    const QString frames = pane->frameStrip()->emptyText();
    EXPECT_TRUE(frames.contains(QDir::toNativeSeparators(In("frames", "").chopped(1)))) << frames.toStdString();
    EXPECT_TRUE(frames.contains(QStringLiteral("PNG")));
    EXPECT_TRUE(pane->addOnStrip()->emptyText().contains(QStringLiteral("GIF")));
    EXPECT_TRUE(pane->photoStrip()->emptyText().contains(
        QDir::toNativeSeparators(In("photos", "").chopped(1))));
    EXPECT_FALSE(frames.contains(QLatin1Char('\n'))) << "one line";

    // The pixels the text changes; a strip with files shows none of it.
    auto inked = [](Photostrip& strip) {
        auto paint = [&strip] {
            QImage canvas(strip.stripWidth(), strip.stripHeight(), QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&canvas);
            strip.Paint(painter);
            return canvas;
        };
        const QImage with = paint();
        const QString text = strip.emptyText();
        strip.SetEmptyText({});
        const QImage without = paint();
        strip.SetEmptyText(text);
        int changed = 0;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                changed += with.pixel(x, y) != without.pixel(x, y) ? 1 : 0;
        return changed;
    };
    EXPECT_GT(inked(*pane->frameStrip()), 30);

    ASSERT_TRUE(WriteTestImage(In("frames", "f.gif"), 100, 100, QColor(0, 255, 0)));
    pane->ReloadFrameStrip(0);
    EXPECT_TRUE(pane->frameStrip()->emptyText().contains(QStringLiteral("GIF")));
    EXPECT_EQ(inked(*pane->frameStrip()), 0);
}

TEST_F(StripPaneTest, GifsAmongThePhotosCarryABadgeAndTheSavedPhotoIsMarked)
{
    ASSERT_TRUE(WriteTestImage(In("photos", "2026-5-3-9-7-6.gif"), 100, 100, QColor(0, 255, 0)));
    ASSERT_TRUE(WriteTestImage(In("photos", "2026-5-3-9-7-5.jpg"), 100, 100, QColor(0, 0, 255)));
    ASSERT_TRUE(WriteTestImage(In("frames", "f.gif"), 100, 100, QColor(0, 255, 0)));
    auto pane = ShowPane(); // strips 280 high: thumbnails 210 × 210, 235 apart
    pane->ReloadFrameStrip(0);
    pane->photoStrip()->SetHighlightClock([] { return int64_t(0); }); // the mark at full strength
    pane->OnPhotoSaved(In("photos", "2026-5-3-9-7-5.jpg"));
    pane->WaitForLoads();
    auto painted = [](const Photostrip& strip) {
        QImage canvas(strip.stripWidth(), strip.stripHeight(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&canvas);
        strip.Paint(painter);
        return canvas;
    };
    const QImage photos = painted(*pane->photoStrip()); // thumbnails at y 56
    const QColor badge = photos.pixelColor(33, 250);
    EXPECT_LT(badge.green(), 140) << "the GIF's lower left corner is darkened by its label";
    EXPECT_EQ(photos.pixelColor(120, 100), QColor(0, 255, 0));
    const QColor mark = photos.pixelColor(263, 150); // the left edge of the saved photo
    EXPECT_GT(mark.red(), 200);
    EXPECT_GT(mark.green(), 150);
    EXPECT_LT(mark.blue(), 120);
    EXPECT_GT(photos.pixelColor(290, 150).blue(), 240);
    EXPECT_LT(photos.pixelColor(290, 150).red(), 20);
    EXPECT_EQ(photos.pixelColor(28, 150), QColor(0, 255, 0)) << "only the saved file is marked";

    const QImage frames = painted(*pane->frameStrip()); // thumbnail at y 14
    EXPECT_EQ(frames.pixelColor(33, 14 + 194), QColor(0, 255, 0)) << "a frame GIF is no recording";
}

TEST_F(StripPaneTest, PhotoReloadsOnlyThePhotosStripFromTheStart)
{
    ASSERT_TRUE(WriteTestImage(In("photos", "1.jpg"), 640, 480));
    ASSERT_TRUE(WriteTestImage(In("photos", "2.jpg"), 640, 480));
    ASSERT_TRUE(WriteTestImage(In("frames", "f.png"), 100, 100));
    ASSERT_TRUE(WriteTestImage(In("addons", "a.gif"), 100, 100));
    auto pane = ShowPane();
    EXPECT_TRUE(boxes.shown.empty());
    Photostrip* photos = pane->photoStrip();
    Photostrip* frames = pane->frameStrip();
    TouchOverlay* overlay = pane->overlay();
    // Scroll both strips left by dragging on empty parts of them.
    for (int top : {0, 420}) {
        overlay->HandleMouse(MouseAction::Press, 290, top + 275, 100);
        overlay->HandleMouse(MouseAction::Move, 240, top + 275, 2000);
        overlay->HandleMouse(MouseAction::Release, 240, top + 275, 4000);
    }
    ASSERT_LT(photos->scrollOffset(), 0.0f);
    const float frameOffset = frames->scrollOffset();
    const ConstrainedPhoto* frameThumb = frames->thumbnails()[0].get();

    ASSERT_TRUE(WriteTestImage(In("photos", "3.jpg"), 640, 480));
    pane->OnPhotoSaved();
    EXPECT_EQ(photos->thumbnails().size(), 3u);
    EXPECT_EQ(photos->scrollOffset(), 0.0f);
    EXPECT_FLOAT_EQ(photos->thumbnails()[0]->x(), 25.0f);
    EXPECT_EQ(frames->thumbnails()[0].get(), frameThumb);
    EXPECT_EQ(frames->scrollOffset(), frameOffset);
    EXPECT_EQ(overlay->targets().targets().back(), static_cast<ITouchTarget*>(photos));
}

TEST_F(StripPaneTest, PicksReachThePaneSignalsWithPathAndKind)
{
    ASSERT_TRUE(WriteTestImage(In("frames", "f.png"), 100, 100));
    ASSERT_TRUE(WriteTestImage(In("addons", "a.gif"), 100, 100));
    ASSERT_TRUE(WriteTestImage(In("addons", "b.png"), 100, 100));
    auto pane = ShowPane();
    std::vector<std::pair<QString, int>> frames, addOns;
    QObject::connect(pane.get(), &CFrameView::framePicked,
                     [&](const QString& p, int k) { frames.emplace_back(p, k); });
    QObject::connect(pane.get(), &CFrameView::addOnPicked,
                     [&](const QString& p, int k) { addOns.emplace_back(p, k); });
    TouchOverlay* overlay = pane->overlay();
    // Frames strip 280 high: thumbnail at y 14, picked 56 pixels lower.
    overlay->HandleTouchContacts({MakeContact(1, ContactDown, 100, 100, 10)});
    overlay->HandleTouchContacts({MakeContact(1, ContactMove, 100, 160, 30)});
    overlay->HandleTouchContacts({MakeContact(1, ContactUp, 100, 160, 40)});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].first, In("frames", "f.png"));
    EXPECT_EQ(frames[0].second, 1);
    EXPECT_TRUE(addOns.empty());

    pane->ReloadAddOnStrip(1); // add-ons strip 140 high: thumbnail at y 7, picked 28 lower
    ASSERT_EQ(pane->addOnStrip()->thumbnails().size(), 1u);
    overlay->HandleMouse(MouseAction::Press, 60, 280 + 50, 100);
    overlay->HandleMouse(MouseAction::Move, 60, 280 + 90, 120);
    overlay->HandleMouse(MouseAction::Release, 60, 280 + 90, 130);
    ASSERT_EQ(addOns.size(), 1u);
    EXPECT_EQ(addOns[0].first, In("addons", "b.png"));
    EXPECT_EQ(addOns[0].second, 1);
}

TEST_F(StripPaneTest, StripsPaintTheirGradientAndThumbnails)
{
    ASSERT_TRUE(WriteTestImage(In("frames", "f.png"), 100, 100, QColor(0, 255, 0)));
    auto pane = ShowPane();
    Photostrip* strip = pane->frameStrip(); // 300 × 280, thumbnail 210 × 210 at (25, 14)
    QImage canvas(300, 280, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    strip->Paint(painter);
    painter.end();
    EXPECT_EQ(canvas.pixelColor(100, 100), QColor(0, 255, 0));
    EXPECT_EQ(canvas.pixelColor(10, 250), QColor(0xEE, 0x82, 0xEE)) << "opaque violet below 0.8";
    const QColor upper = canvas.pixelColor(5, 50); // magenta at half alpha over black above 0.4
    EXPECT_NEAR(upper.red(), 128, 3);
    EXPECT_NEAR(upper.green(), 0, 3);
    EXPECT_NEAR(upper.blue(), 128, 3);
}

TEST_F(StripPaneTest, LargeFoldersLoadInTheBackgroundAndOnlyTheNewestFillIsShown)
{
    const int many = static_cast<int>(CFrameView::kBackgroundDecodeThreshold) + 4;
    for (int i = 0; i < many; ++i) {
        ASSERT_TRUE(WriteTestImage(In("frames", QStringLiteral("%1.png").arg(i, 2, 10, QLatin1Char('0'))), 40, 40));
        ASSERT_TRUE(WriteTestImage(In("frames", QStringLiteral("%1.gif").arg(i, 2, 10, QLatin1Char('0'))), 80, 40));
    }
    ASSERT_TRUE(WriteTestImage(In("photos", "1.jpg"), 64, 48));
    auto pane = ShowPane();
    EXPECT_TRUE(pane->loading());
    EXPECT_TRUE(pane->frameStrip()->thumbnails().empty()) << "not filled on the interface thread";
    pane->ReloadFrameStrip(0); // the user switches to GIF before the PNG load is done
    pane->WaitForLoads();
    EXPECT_FALSE(pane->loading());
    Photostrip* frames = pane->frameStrip();
    ASSERT_EQ(frames->thumbnails().size(), static_cast<size_t>(many));
    EXPECT_EQ(frames->kind(), 0);
    EXPECT_TRUE(frames->thumbnails()[0]->path().endsWith(QLatin1String("00.gif")));
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.shown.size(), 1u) << "only the empty add-ons folder is reported";

    // Results that arrive through the event loop are shown too.
    pane->ReloadFrameStrip(1);
    for (int i = 0; i < 500 && pane->loading(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(pane->loading());
    EXPECT_TRUE(frames->thumbnails()[0]->path().endsWith(QLatin1String("00.png")));
}

TEST_F(StripPaneTest, ClosingWhileLoadingIsSafe)
{
    for (int i = 0; i < static_cast<int>(CFrameView::kBackgroundDecodeThreshold) * 3; ++i)
        ASSERT_TRUE(WriteTestImage(In("photos", QStringLiteral("%1.jpg").arg(i)), 320, 240));
    auto pane = ShowPane();
    EXPECT_TRUE(pane->loading());
    pane.reset();
    QCoreApplication::processEvents();
}

TEST_F(StripPaneTest, StripsFilledInTheBackgroundShowTheirThumbnailsOnScreen)
{
    // Just over the background threshold, and a folder of many stickers.
    int written = 0;
    for (const int files : {static_cast<int>(CFrameView::kBackgroundDecodeThreshold), 700}) {
        for (; written < files; ++written) {
            const QString name = QStringLiteral("%1").arg(written, 3, 10, QLatin1Char('0'));
            ASSERT_TRUE(WriteTestImage(In("frames", name + ".png"), 40, 40, QColor(0, 255, 0)));
            ASSERT_TRUE(WriteTestImage(In("addons", name + ".gif"), 40, 40, QColor(0, 0, 255)));
        }
        auto pane = ShowPane();
        ASSERT_TRUE(pane->loading()) << files;
        QCoreApplication::processEvents(); // the first paint, before the fills are done
        pane->WaitForLoads();
        QCoreApplication::processEvents();
        // What the window shows (its backing store), not a fresh rendering of the widgets.
        const QImage shown = pane->screen()->grabWindow(pane->winId()).toImage();
        ASSERT_FALSE(shown.isNull());
        // The frames strip's first thumbnail is 210 × 210 at (25, 14); the add-ons strip's is
        // 105 × 105 at (25, 7) within the strip, which starts at 280.
        EXPECT_EQ(shown.pixelColor(100, 100), QColor(0, 255, 0)) << files << " frames";
        EXPECT_EQ(shown.pixelColor(77, 339), QColor(0, 0, 255)) << files << " add-ons";
    }
}
