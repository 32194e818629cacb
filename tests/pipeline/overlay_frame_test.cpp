#include "pipeline/compose/OverlayStore.h"
#include "pipeline/compose/FrameOverlay.h"
#include "pipeline/compose/Overlays.h"
#include "TestImages.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

const QColor kPalette[3] = {Qt::red, Qt::green, Qt::blue};

class FrameOverlayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        gifPath = dir.filePath("frame.gif");
        // Red then blue, 20 ms each, at half the picture size (stretched when drawn).
        ASSERT_TRUE(testimages::WriteGif(gifPath, 32, 24, {{0, 2}, {2, 2}}, kPalette));
        pngPath = dir.filePath("frame.png");
        ASSERT_TRUE(testimages::WritePng(pngPath, 64, 48, Qt::green));
    }

    static QImage Draw(FrameOverlay& frame)
    {
        QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::black);
        QPainter painter(&picture);
        frame.Draw(painter, picture.size());
        return picture;
    }

    static QImage Compose(OverlayStore& decorations)
    {
        QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::black);
        decorations.DrawOverlays(picture);
        return picture;
    }

    QTemporaryDir dir;
    QString gifPath;
    QString pngPath;
};

TEST_F(FrameOverlayTest, NothingIsDrawnUntilAFrameIsPicked)
{
    FrameOverlay frame;
    EXPECT_EQ(frame.frameKind(), std::nullopt);
    EXPECT_EQ(Draw(frame).pixel(10, 10), QColor(Qt::black).rgb());
    frame.SetFrameImage(pngPath, 7); // unknown kind: nothing changes
    EXPECT_EQ(frame.frameKind(), std::nullopt);
}

TEST_F(FrameOverlayTest, AnimatedFrameShowsTheFramesItsThreadSelects)
{
    FrameOverlay frame;
    frame.SetFrameImage(gifPath, 0);
    ASSERT_EQ(frame.frameKind(), DecorationKind::Gif);
    ASSERT_TRUE(frame.frameGif());
    EXPECT_TRUE(frame.frameGif()->running());

    bool sawRed = false;
    bool sawBlue = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!(sawRed && sawBlue) && std::chrono::steady_clock::now() < deadline) {
        const QRgb centre = Draw(frame).pixel(32, 24);
        sawRed |= centre == QColor(Qt::red).rgb();
        sawBlue |= centre == QColor(Qt::blue).rgb();
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(sawBlue);
}

TEST_F(FrameOverlayTest, PickingAPngAfterAGifSwitchesWhileTheGifKeepsRunningUnseen)
{
    FrameOverlay frame;
    frame.SetFrameImage(gifPath, 0);
    ImageEx* gif = frame.frameGif();
    frame.SetFrameImage(pngPath, 1);
    EXPECT_EQ(frame.frameKind(), DecorationKind::Png);
    EXPECT_EQ(frame.frameGif(), gif);
    EXPECT_TRUE(gif->running());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Draw(frame).pixel(32, 24), QColor(Qt::green).rgb());
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }

    // A still frame that does not load draws nothing but is still the selected kind.
    frame.SetFrameImage(dir.filePath("missing.png"), 1);
    EXPECT_EQ(frame.frameKind(), DecorationKind::Png);
    EXPECT_EQ(Draw(frame).pixel(32, 24), QColor(Qt::black).rgb());
}

TEST_F(FrameOverlayTest, ReplacedAnimatedFrameIsHandedBackForRelease)
{
    FrameOverlay frame;
    std::unique_ptr<ImageEx> first = FrameOverlay::LoadAnimated(gifPath);
    ImageEx* firstRaw = first.get();
    EXPECT_EQ(frame.ReplaceAnimated(std::move(first)), nullptr);
    std::unique_ptr<ImageEx> old = frame.ReplaceAnimated(FrameOverlay::LoadAnimated(gifPath));
    EXPECT_EQ(old.get(), firstRaw);
    EXPECT_NE(frame.frameGif(), firstRaw);
    old->Pause();
    old.reset(); // ends its thread without hanging
}

TEST_F(FrameOverlayTest, HidingTheFramePausesItsAnimationAndShowingResumesIt)
{
    OverlayStore decorations(dir.filePath("no-logo.png"));
    decorations.SetFrameImage(gifPath, 0);
    EXPECT_FALSE(decorations.ToggleFrameShown());
    EXPECT_TRUE(decorations.WithFrame([](const FrameOverlay& f) { return f.frameGif()->paused(); }));
    EXPECT_EQ(Compose(decorations).pixel(32, 24), QColor(Qt::black).rgb());
    EXPECT_TRUE(decorations.ToggleFrameShown());
    EXPECT_FALSE(decorations.WithFrame([](const FrameOverlay& f) { return f.frameGif()->paused(); }));

    // The camera stopping resumes it even while the frame is hidden.
    decorations.ToggleFrameShown();
    decorations.ResumeFrameAnimation();
    EXPECT_FALSE(decorations.WithFrame([](const FrameOverlay& f) { return f.frameGif()->paused(); }));
}

// The worker composes continuously while the interface thread replaces the frame and adds,
// drags and clears add-ons; under the sanitizers this shows any use of a released image.
TEST_F(FrameOverlayTest, ChangesNeverOverlapTheWorkerDrawing)
{
    const QString addOnGif = dir.filePath("addon.gif");
    ASSERT_TRUE(testimages::WriteGif(addOnGif, 8, 8, {{0, 1}, {1, 1}}, kPalette));
    const QString addOnPng = dir.filePath("addon.png");
    ASSERT_TRUE(testimages::WritePng(addOnPng, 8, 8, Qt::yellow));
    const QString logo = dir.filePath("loogo.png");
    ASSERT_TRUE(testimages::WritePng(logo, 6, 6, Qt::white));

    OverlayStore decorations(logo);
    std::atomic<bool> running{true};
    std::atomic<int> frames{0};
    std::thread worker([&] {
        QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
        while (running) {
            picture.fill(Qt::black);
            decorations.DrawOverlays(picture);
            ++frames;
        }
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        decorations.SetFrameImage(i % 2 ? gifPath : pngPath, i % 3 == 0 ? 0 : 1);
        decorations.AddAddOn(i % 2 ? addOnGif : addOnPng, i % 2 ? 0 : 1, 64, 48);
        decorations.PointerMove(i % 64, i % 48);
        decorations.PointerDown();
        decorations.PointerMove((i * 7) % 64, (i * 5) % 48);
        decorations.PointerUp();
        if (i % 5 == 4)
            decorations.ClearAddOns();
        if (i % 7 == 0)
            decorations.ToggleAddOnsShown();
        if (i % 11 == 0)
            decorations.ToggleFrameShown();
    }
    decorations.ReleaseAll();
    running = false;
    worker.join();
    EXPECT_GT(frames.load(), 10);
    EXPECT_EQ(decorations.frameKind(), std::nullopt);
    EXPECT_EQ(decorations.WithAddOns([](const AddOnCollection& a) { return a.animatedCount() + a.stillCount(); }),
              0);
}

} // namespace
