#include "QtTestApp.h"

#include "decorations/ImageEx.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <chrono>
#include <future>
#include <set>
#include <thread>

namespace {

std::vector<QImage> ColouredFrames(int n, int w = 8, int h = 6)
{
    std::vector<QImage> frames;
    for (int i = 0; i < n; ++i) {
        QImage f(w, h, QImage::Format_ARGB32_Premultiplied);
        f.fill(QColor::fromHsv((i * 60) % 360, 255, 255));
        frames.push_back(f);
    }
    return frames;
}

// Runs f on another thread and tells whether it finished in time (a hang fails, not blocks).
bool FinishesWithin(std::function<void()> f, int ms)
{
    auto done = std::async(std::launch::async, std::move(f));
    return done.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
}

} // namespace

TEST(ImageExDelay, OutOfRangeDelaysFallBackTo80Ms)
{
    EXPECT_EQ(ImageEx::EffectiveDelayMs(0), 80);
    EXPECT_EQ(ImageEx::EffectiveDelayMs(1), 10);
    EXPECT_EQ(ImageEx::EffectiveDelayMs(500), 5000);
    EXPECT_EQ(ImageEx::EffectiveDelayMs(501), 80);
    EXPECT_EQ(ImageEx::EffectiveDelayMs(0xFFFFFFFFu), 80); // no overflow into a short delay
}

TEST(ImageExDelay, MissingDelaysOfAMultiFrameImageAreFilledWithFallback)
{
    ImageEx image(ColouredFrames(3), { 7 });
    ASSERT_EQ(image.frameDelays().size(), 3u);
    EXPECT_EQ(image.frameDelays()[0], 7u);
    EXPECT_EQ(ImageEx::EffectiveDelayMs(image.frameDelays()[2]), 80);
}

TEST(ImageExAnimation, AdvancesThroughEveryFrameAndWrapsAround)
{
    ImageEx image(ColouredFrames(3), { 1, 1, 1 });
    ASSERT_TRUE(image.Animate());
    EXPECT_EQ(image.mode, ImageEx::AdvanceOnly);
    std::set<uint32_t> seen;
    bool wrapped = false;
    uint32_t last = image.currentFrame();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!(wrapped && seen.size() == 3) && std::chrono::steady_clock::now() < until) {
        const uint32_t now = image.currentFrame();
        ASSERT_LT(now, 3u);
        seen.insert(now);
        if (now < last)
            wrapped = true;
        last = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_TRUE(wrapped);
    image.Pause();
    image.Stop();
}

TEST(ImageExAnimation, AnimateTwiceStartsOneThread)
{
    ImageEx image(ColouredFrames(2), { 5, 5 });
    EXPECT_TRUE(image.Animate());
    EXPECT_FALSE(image.Animate());
    EXPECT_TRUE(image.running());
    image.Pause();
    image.Stop();
    EXPECT_FALSE(image.running());
}

TEST(ImageExAnimation, PauseHoldsTheFrameAndResumeGoesOn)
{
    ImageEx image(ColouredFrames(4), { 1, 1, 1, 1 });
    ASSERT_TRUE(image.Animate());
    image.Pause();
    EXPECT_TRUE(image.paused());
    std::this_thread::sleep_for(std::chrono::milliseconds(40)); // at most one more change
    const uint32_t held = image.currentFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    EXPECT_EQ(image.currentFrame(), held);
    image.Resume();
    EXPECT_FALSE(image.paused());
    EXPECT_TRUE(FinishesWithin([&] {
        while (image.currentFrame() == held)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }, 2000));
    image.Pause();
    image.Stop();
}

TEST(ImageExAnimation, StopOnAPausedImageEndsTheThreadWithoutHanging)
{
    auto image = std::make_unique<ImageEx>(ColouredFrames(2), std::vector<uint32_t> { 500, 500 });
    ASSERT_TRUE(image->Animate());
    image->Pause();
    EXPECT_TRUE(FinishesWithin([&] { image->Stop(); }, 2000));
    EXPECT_FALSE(image->running());
    // Still drawable as a still picture after the stop.
    EXPECT_FALSE(image->ActiveFrame().isNull());
}

TEST(ImageExAnimation, OneFrameImageNeverAnimatesNorPauses)
{
    ImageEx image(ColouredFrames(1), {});
    EXPECT_TRUE(image.ready());
    EXPECT_FALSE(image.Animate());
    image.Pause();
    EXPECT_FALSE(image.paused());
    EXPECT_FALSE(image.running());
}

TEST(ImageExLoading, MissingOrDamagedFileIsNotReadyAndDrawsNothing)
{
    EnsureQtApp();
    QTemporaryDir dir;
    const QString damaged = dir.filePath("broken.gif");
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("GIF89a\x10\x00\x10\x00garbage", 18));
    f.close();
    for (const QString& path : { dir.filePath("missing.gif"), damaged }) {
        ImageEx image(path);
        EXPECT_FALSE(image.ready());
        EXPECT_EQ(image.frameCount(), 0u);
        EXPECT_EQ(image.width(), 0);
        EXPECT_FALSE(image.Animate());
        EXPECT_FALSE(image.AnimateInto());
        QImage canvas(4, 4, QImage::Format_RGB32);
        canvas.fill(Qt::blue);
        QPainter p(&canvas);
        image.DrawAt(p, 0, 0);
        p.end();
        EXPECT_EQ(canvas.pixel(1, 1), QColor(Qt::blue).rgb());
    }
}

TEST(ImageExLoading, PngIsAStillImageWithItsNaturalSize)
{
    EnsureQtApp();
    QTemporaryDir dir;
    QImage png(30, 20, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    const QString path = dir.filePath("still.png");
    ASSERT_TRUE(png.save(path));
    ImageEx image(path);
    EXPECT_TRUE(image.ready());
    EXPECT_EQ(image.frameCount(), 1u);
    EXPECT_EQ(image.width(), 30);
    EXPECT_EQ(image.height(), 20);
    EXPECT_TRUE(image.frameDelays().empty());
}

TEST(ImageExLoading, ShippedWelcomeAnimationHasSeveralFramesAndDelays)
{
    EnsureQtApp();
    const QString path = QDir(PARVEL_BIN_DIR).filePath("system/welcome.gif");
    if (!QFile::exists(path))
        GTEST_SKIP() << "welcome.gif not generated in this build";
    ImageEx image(path);
    ASSERT_TRUE(image.ready());
    EXPECT_GT(image.frameCount(), 1u);
    ASSERT_EQ(image.frameDelays().size(), image.frameCount());
    std::set<uint32_t> distinct(image.frameDelays().begin(), image.frameDelays().end());
    EXPECT_GT(distinct.size(), 1u);
}

TEST(ImageExPainting, PaintIntoStretchesTheActiveFrameOverTheTargetRect)
{
    EnsureQtApp();
    std::vector<QImage> frames = ColouredFrames(2, 2, 2);
    frames[0].fill(Qt::blue);
    frames[0].setPixelColor(0, 0, Qt::red);
    ImageEx image(frames, { 10, 10 });
    image.targetRect = QRect(0, 0, 8, 8);
    QImage window(8, 8, QImage::Format_RGB32);
    window.fill(Qt::black);
    QPainter p(&window);
    image.PaintInto(p);
    p.end();
    // Nearest-pixel stretch: the top-left source pixel covers the whole top-left quarter.
    EXPECT_EQ(window.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(window.pixelColor(3, 3), QColor(Qt::red));
    EXPECT_NE(window.pixelColor(4, 4), QColor(Qt::red));
}

TEST(ImageExStreaming, ALargeAnimationPlaysEveryFrameInOrderHoldingOnlyAFew)
{
    EnsureQtApp();
    QTemporaryDir dir;
    const QString path = dir.filePath("long.gif");
    // 12 frames of 1200 × 1200 (5.8 MB each) are more than is kept whole.
    const int frames = 12;
    ASSERT_TRUE(testimages::WriteSparseGif(path, 1200, 1200, frames, 1));
    ImageEx image(path);
    ASSERT_TRUE(image.ready());
    ASSERT_EQ(image.frameCount(), static_cast<uint32_t>(frames));
    const qint64 frameBytes = qint64{1200} * 1200 * 4;
    ASSERT_GT(frames * frameBytes, ImageEx::kWholeAnimationBytes);
    ASSERT_TRUE(image.Animate());
    // Frame i shows i + 1 red pixels at the start of the top row: every frame shown must be one
    // of the file's, and all of them must come, then the first again.
    std::set<int> seen;
    bool wrapped = false;
    int last = 0;
    EXPECT_TRUE(FinishesWithin([&] {
        while (!(wrapped && seen.size() == static_cast<size_t>(frames))) {
            const QImage frame = image.ActiveFrame();
            ASSERT_EQ(frame.size(), QSize(1200, 1200));
            int red = 0;
            while (red < frames && frame.pixelColor(red, 0) == QColor(Qt::red))
                ++red;
            ASSERT_GE(red, 1);
            ASSERT_NE(frame.pixelColor(red, 0), QColor(Qt::red));
            seen.insert(red);
            wrapped = wrapped || red < last;
            last = red;
            ASSERT_LE(image.heldBytes(), (ImageEx::kFramesAhead + 1) * frameBytes);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }, 60000));
    image.Pause();
    image.Stop();
    EXPECT_EQ(seen.size(), static_cast<size_t>(frames));
    EXPECT_TRUE(wrapped);
}
