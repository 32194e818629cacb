#include "QtTestApp.h"
#include "ScriptedSource.h"

#include "decorations/ImageEx.h"
#include "ui/MessageBoxes.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/CWebcamCtl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

class WebcamCtlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        state = std::make_shared<ScriptedSourceState>();
    }

    std::unique_ptr<CWebcamCtl> MakeControl(int w = 640, int h = 480, const QString& systemDir = QString())
    {
        auto ctl = std::make_unique<CWebcamCtl>(systemDir.isEmpty() ? emptyDir.path() : systemDir,
            emptyDir.path(), ScriptedFactory(state));
        ctl->SetPictureSize(w, h);
        ctl->SetDisplaySize(w, h);
        // What the camera's command does with a double-click's request, in the window.
        CWebcamCtl* raw = ctl.get();
        QObject::connect(raw, &CWebcamCtl::cameraToggleRequested, raw, [raw] {
            if (raw->session().running())
                raw->session().Stop();
            else
                raw->session().Start();
        });
        return ctl;
    }

    // The worker is gone without the interface thread handling any event.
    static bool WorkerEndsWithin(const CWebcamCtl& ctl, std::chrono::milliseconds limit)
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (ctl.session().loop().workerAlive()) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    void SendMouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QMouseEvent event(type, at, w.mapToGlobal(at), button,
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &event);
    }

    // Green frames while the flag is set, then none: a camera that goes silent.
    void DeliverGreenWhile(const std::atomic<bool>& flag)
    {
        state->frameFor = [&flag](int) { return flag ? cv::Mat(480, 640, CV_8UC3, cv::Scalar(0, 255, 0)) : cv::Mat(); };
    }

    std::atomic<bool> delivering { true };
    std::shared_ptr<ScriptedSourceState> state;
    QTemporaryDir emptyDir;
    RecordingMessageBoxes messages;
    ScopedMessageBoxes installMessages { messages };
};

TEST_F(WebcamCtlTest, StartShowsFramesAndStopReleasesTheSourceWithinOnePass)
{
    auto ctl = MakeControl();
    ASSERT_TRUE(ctl->session().Start());
    EXPECT_TRUE(ctl->cameraRunning());
    EXPECT_TRUE(PictureSession::RunningAnywhere());
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    EXPECT_EQ(ctl->shownImage().size(), QSize(640, 480));

    ctl->session().Stop();
    EXPECT_FALSE(PictureSession::RunningAnywhere());
    // One pass is at most one frame plus the 33 ms wait; allow generous slack for sanitizers.
    EXPECT_TRUE(WorkerEndsWithin(*ctl, 500ms));
    EXPECT_EQ(state->releases, 1);
    EXPECT_EQ(state->liveSources, 0);
}

TEST_F(WebcamCtlTest, NoCameraIsSaidOnceChangesNothingAndALaterStartWorks)
{
    auto ctl = MakeControl();
    ctl->model().settings.Change([](PictureSettings& s) { ToggleEffectStyle(s, kEffectSketch); });
    const PictureSettings before = ctl->model().settings.Snapshot();
    int missing = 0;
    QObject::connect(&ctl->session(), &PictureSession::cameraMissing, [&] { ++missing; });
    state->openSucceeds = false;
    EXPECT_FALSE(ctl->session().Start());
    EXPECT_EQ(missing, 1); // the window says it; the picture's own parts show no box
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(ctl->cameraRunning());
    EXPECT_FALSE(ctl->session().loop().workerAlive());
    const PictureSettings after = ctl->model().settings.Snapshot();
    EXPECT_EQ(after.effectStyle, before.effectStyle);
    EXPECT_EQ(after.mouseMode, before.mouseMode);
    EXPECT_EQ(ctl->session().loop().workersStarted(), 0);

    state->openSucceeds = true;
    EXPECT_TRUE(ctl->session().Start());
    EXPECT_EQ(missing, 1);
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    ctl->session().Stop();
}

TEST_F(WebcamCtlTest, PausedLoopTakesNoFramesButStopsPromptly)
{
    auto ctl = MakeControl();
    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(WaitUntil([&] { return state->reads > 0; }));
    ctl->session().loop().paused = true;
    std::this_thread::sleep_for(80ms);
    const int reads = state->reads;
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(state->reads, reads);
    ctl->session().Stop();
    EXPECT_TRUE(WorkerEndsWithin(*ctl, 300ms));
}

TEST_F(WebcamCtlTest, NullFramesAreSkippedAndTheLoopGoesOn)
{
    state->frameFor = [](int n) {
        return n < 5 ? cv::Mat() : cv::Mat(480, 640, CV_8UC3, cv::Scalar(0, 0, 255));
    };
    auto ctl = MakeControl();
    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    EXPECT_GE(state->reads, 6);
    EXPECT_EQ(ctl->shownImage().pixelColor(10, 10), QColor(255, 0, 0));
    ctl->session().Stop();
}

TEST_F(WebcamCtlTest, CameraThatStopsDeliveringKeepsThePictureAndStillStops)
{
    state->frameFor = [](int n) {
        return n < 3 ? cv::Mat(480, 640, CV_8UC3, cv::Scalar(0, 255, 0)) : cv::Mat(); // then gone
    };
    auto ctl = MakeControl();
    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(WaitUntil([&] { return state->reads > 10; }));
    EXPECT_TRUE(ctl->session().loop().workerAlive());
    EXPECT_EQ(ctl->shownImage().pixelColor(5, 5), QColor(0, 255, 0)); // the last picture stays
    ctl->session().Stop();
    EXPECT_TRUE(WorkerEndsWithin(*ctl, 500ms));
    EXPECT_EQ(state->releases, 1);
}

TEST_F(WebcamCtlTest, OddWidthIsShownWithoutShearAndMirrored)
{
    // 213 pixels make rows of 639 bytes: not a multiple of 4.
    cv::Mat frame(50, 213, CV_8UC3);
    cv::randu(frame, 0, 255);
    state->frameFor = [frame](int) { return frame.clone(); };
    auto ctl = MakeControl(213, 50);
    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    const QImage shown = ctl->shownImage();
    ctl->session().Stop();
    ASSERT_EQ(shown.size(), QSize(213, 50));
    for (int y : { 0, 1, 25, 49 })
        for (int x : { 0, 1, 100, 212 }) {
            const cv::Vec3b bgr = frame.at<cv::Vec3b>(y, 212 - x); // mirrored by default
            ASSERT_EQ(shown.pixelColor(x, y), QColor(bgr[2], bgr[1], bgr[0])) << x << "," << y;
        }
}

TEST_F(WebcamCtlTest, FramesOfAnotherSizeAreScaledToThePictureAndStretchedToTheDisplay)
{
    state->frameFor = [](int) { return cv::Mat(120, 160, CV_8UC3, cv::Scalar(0, 255, 0)); };
    auto ctl = MakeControl(640, 480);
    ctl->SetDisplaySize(320, 240);
    EXPECT_FLOAT_EQ(ctl->scaleX(), 2.0f);
    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    EXPECT_EQ(ctl->shownImage().size(), QSize(320, 240));
    EXPECT_EQ(ctl->shownImage().pixelColor(300, 200), QColor(0, 255, 0));
    ctl->session().Stop();
}

TEST_F(WebcamCtlTest, RapidStartStopNeverRunsTwoWorkersNorFreezes)
{
    auto ctl = MakeControl();
    const auto began = std::chrono::steady_clock::now();
    for (int i = 0; i < 25; ++i) {
        ASSERT_TRUE(ctl->session().Start());
        ctl->session().Stop();
        ASSERT_TRUE(ctl->session().Start());
        if (i % 5 == 0)
            std::this_thread::sleep_for(5ms);
        ctl->session().Stop();
    }
    const auto spent = std::chrono::steady_clock::now() - began;
    EXPECT_LT(spent, 2s); // the interface thread never waited out whole passes
    EXPECT_LE(state->maxLiveSources, 1);
    EXPECT_TRUE(WorkerEndsWithin(*ctl, 500ms));
    EXPECT_EQ(state->liveSources, 0);
    EXPECT_EQ(state->opens, state->releases);
}

TEST_F(WebcamCtlTest, PicturePositionRoundsTheScaledPoint)
{
    auto ctl = MakeControl(640, 480);
    ctl->SetDisplaySize(480, 360);
    EXPECT_FLOAT_EQ(ctl->scaleX(), 640.0f / 480.0f);
    // 1.3333334 × 100 + 0.5 = 133.83… → 133; 1.3333334 × 2 + 0.5 = 3.16… → 3.
    EXPECT_EQ(ctl->PicturePoint(QPoint(100, 2)), QPoint(133, 3));
    ctl->SetDisplaySize(320, 240);
    EXPECT_EQ(ctl->PicturePoint(QPoint(7, 0)), QPoint(14, 0));
}

TEST_F(WebcamCtlTest, DoubleClickSwitchesTheCameraAndTheWelcomeAnimationFollows)
{
    const QString system = QDir(PARVEL_BIN_DIR).filePath("system");
    if (!QFile::exists(QDir(system).filePath("welcome.gif")))
        GTEST_SKIP() << "welcome.gif not generated in this build";
    auto ctl = MakeControl(640, 480, system);
    ctl->show();
    ASSERT_TRUE(WaitUntil([&] { return ctl->welcomeStarted(); }));
    EXPECT_TRUE(ctl->welcomeImage()->running());
    EXPECT_FALSE(ctl->welcomeImage()->paused());

    SendMouse(*ctl, QEvent::MouseButtonDblClick, QPoint(10, 10));
    EXPECT_TRUE(ctl->cameraRunning());
    EXPECT_TRUE(ctl->welcomeImage()->paused());

    SendMouse(*ctl, QEvent::MouseButtonDblClick, QPoint(10, 10));
    EXPECT_FALSE(ctl->cameraRunning());
    EXPECT_FALSE(ctl->welcomeImage()->paused());
    EXPECT_TRUE(WorkerEndsWithin(*ctl, 500ms));
}

TEST_F(WebcamCtlTest, MissingWelcomeAnimationIsHarmless)
{
    auto ctl = MakeControl();
    ctl->show();
    ASSERT_TRUE(WaitUntil([&] { return ctl->welcomeStarted(); }));
    EXPECT_FALSE(ctl->welcomeImage()->ready());
    ASSERT_TRUE(ctl->session().Start());
    ctl->session().Stop();
}

TEST_F(WebcamCtlTest, MouseIsIgnoredWhileStoppedButAReleaseStillEndsAStroke)
{
    auto ctl = MakeControl();
    ctl->model().settings.Change([](PictureSettings& s) { ToggleMousePaint(s, cv::Scalar(0, 0, 255)); });
    ctl->model().doodle.Clear({ 640, 480 });
    SendMouse(*ctl, QEvent::MouseButtonPress, QPoint(10, 10));
    EXPECT_FALSE(ctl->model().doodle.StrokeInProgress()); // stopped: the press is ignored

    ASSERT_TRUE(ctl->session().Start());
    SendMouse(*ctl, QEvent::MouseButtonPress, QPoint(10, 10));
    SendMouse(*ctl, QEvent::MouseMove, QPoint(60, 10));
    EXPECT_TRUE(ctl->model().doodle.StrokeInProgress());
    ctl->session().Stop();
    SendMouse(*ctl, QEvent::MouseMove, QPoint(60, 80)); // ignored while stopped
    SendMouse(*ctl, QEvent::MouseButtonRelease, QPoint(60, 80));
    EXPECT_FALSE(ctl->model().doodle.StrokeInProgress());

    // The stroke drawn while running is on the canvas, the move while stopped is not.
    const cv::Mat canvas = ctl->model().doodle.Canvas();
    EXPECT_EQ(canvas.at<cv::Vec3b>(10, 35), cv::Vec3b(0, 0, 255));
    EXPECT_EQ(canvas.at<cv::Vec3b>(45, 60), kDoodleKey);
}

TEST_F(WebcamCtlTest, DraggedRegionFreezesThePictureAndIsConfirmedIntoTheZoom)
{
    auto ctl = MakeControl();
    ASSERT_TRUE(ctl->session().Start());
    ctl->model().settings.Change([](PictureSettings& s) { ArmZoomRegion(s, true); });
    SendMouse(*ctl, QEvent::MouseButtonPress, QPoint(300, 200)); // dragged up and left
    EXPECT_TRUE(ctl->session().loop().paused);
    EXPECT_TRUE(ctl->selecting());
    SendMouse(*ctl, QEvent::MouseMove, QPoint(150, 100));
    SendMouse(*ctl, QEvent::MouseButtonRelease, QPoint(100, 50));
    EXPECT_FALSE(ctl->session().loop().paused);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QString("确定放大选区？"));
    EXPECT_EQ(messages.shown[0].caption, QString("提示信息"));
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::OkCancel);
    const PictureSettings s = ctl->model().settings.Snapshot();
    EXPECT_TRUE(s.zoomRegionOn);
    EXPECT_FALSE(s.regionArmed);
    EXPECT_EQ(s.zoomRect, cv::Rect(340, 50, 200, 150));
    EXPECT_EQ(s.effectRect, cv::Rect(100, 50, 200, 150));
    EXPECT_EQ(s.mouseMode, kMouseDragAddOns) << "the mouse drags stickers again";

    // The region for an effect asks what it does: nothing is magnified.
    ctl->model().settings.Change([](PictureSettings& st) {
        ToggleEffectStyle(st, kEffectGrain);
        ArmEffectRegion(st, true);
    });
    SendMouse(*ctl, QEvent::MouseButtonPress, QPoint(100, 50));
    SendMouse(*ctl, QEvent::MouseButtonRelease, QPoint(300, 200));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, QString("确定只在选区内显示特效？"));
    EXPECT_TRUE(ctl->model().settings.Snapshot().effectRegionOn);
    ctl->session().Stop();
}

TEST_F(WebcamCtlTest, CancelledOrEmptySelectionOnlyDisarms)
{
    auto ctl = MakeControl();
    ASSERT_TRUE(ctl->session().Start());
    messages.answer = MessageChoice::Cancel;
    ctl->model().settings.Change([](PictureSettings& s) { ArmZoomRegion(s, true); });
    SendMouse(*ctl, QEvent::MouseButtonPress, QPoint(100, 50));
    SendMouse(*ctl, QEvent::MouseButtonRelease, QPoint(300, 200));
    EXPECT_FALSE(ctl->model().settings.Snapshot().zoomRegionOn);
    EXPECT_FALSE(ctl->model().settings.Snapshot().regionArmed);

    ctl->model().settings.Change([](PictureSettings& s) { ArmZoomRegion(s, true); });
    SendMouse(*ctl, QEvent::MouseButtonPress, QPoint(100, 50));
    SendMouse(*ctl, QEvent::MouseButtonRelease, QPoint(100, 50)); // zero size: no question
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(ctl->model().settings.Snapshot().zoomRegionOn);
    EXPECT_FALSE(ctl->session().loop().paused);
    ctl->session().Stop();
}

TEST_F(WebcamCtlTest, ProcessedPictureFollowsTheSettings)
{
    state->frameFor = [](int) {
        cv::Mat f(480, 640, CV_8UC3, cv::Scalar(0, 0, 0));
        f(cv::Rect(0, 0, 320, 480)).setTo(cv::Scalar(255, 255, 255)); // white left half
        return f;
    };
    auto ctl = MakeControl();
    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    EXPECT_EQ(ctl->shownImage().pixelColor(600, 10), QColor(255, 255, 255)); // mirrored
    ctl->model().settings.Change([](PictureSettings& s) {
        ToggleFlip(s, kFlipNone);          // as delivered
        ToggleEffectStyle(s, kEffectNegative);   // negative
    });
    ASSERT_TRUE(WaitUntil([&] { return ctl->shownImage().pixelColor(10, 10) == QColor(0, 0, 0); }));
    EXPECT_EQ(ctl->shownImage().pixelColor(600, 10), QColor(255, 255, 255));
    ctl->session().Stop();
}

TEST_F(WebcamCtlTest, CameraThatDeliversNothingForTheLostTimeIsStoppedAndNothingCarriesOver)
{
    DeliverGreenWhile(delivering);
    auto ctl = MakeControl();
    ctl->session().loop().SetLostAfter(300ms);
    std::vector<bool> switched;
    int lost = 0;
    int photos = 0;
    QObject::connect(&ctl->session(), &PictureSession::cameraSwitched, [&](bool running) { switched.push_back(running); });
    QObject::connect(&ctl->session(), &PictureSession::cameraLost, [&] { ++lost; });
    QObject::connect(&ctl->session(), &PictureSession::photoSaved, [&](const QString&) { ++photos; });
    QObject::connect(&ctl->session(), &PictureSession::photoFailed, [&](const QString&) { ++photos; });

    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    delivering = false;
    // A frame already on its way could still take the photo: ask once the camera is silent.
    const int silentFrom = state->reads;
    ASSERT_TRUE(WaitUntil([&] { return state->reads > silentFrom + 2; }));
    ctl->model().photos.Request(); // waits for a frame that never comes
    ASSERT_TRUE(WaitUntil([&] { return !ctl->cameraRunning(); }));
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(switched, (std::vector<bool> { true, false }));
    EXPECT_TRUE(WorkerEndsWithin(*ctl, 500ms));
    EXPECT_EQ(state->liveSources, 0);
    EXPECT_FALSE(ctl->model().photos.requested()); // cancelled with the stop

    // The next start shows pictures again and takes no photo nobody asked for.
    delivering = true;
    ASSERT_TRUE(ctl->session().Start());
    const int reads = state->reads;
    ASSERT_TRUE(WaitUntil([&] { return state->reads > reads + 5; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(photos, 0);
    EXPECT_EQ(QDir(emptyDir.path()).entryList({ "*.jpg" }, QDir::Files).size(), 0);
    ctl->session().Stop();
}

TEST_F(WebcamCtlTest, PhotoAskedForWhileNoFrameComesIsReportedAsNotTaken)
{
    DeliverGreenWhile(delivering);
    auto ctl = MakeControl();
    QStringList failures;
    QObject::connect(&ctl->session(), &PictureSession::photoFailed, [&](const QString& m) { failures << m; });
    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    delivering = false;
    std::this_thread::sleep_for(100ms);
    ctl->model().photos.Request();
    // Reported after about a second, before the camera counts as lost.
    ASSERT_TRUE(WaitUntil([&] { return !failures.isEmpty(); }, 1800));
    EXPECT_TRUE(ctl->cameraRunning());
    EXPECT_EQ(failures[0], QString("摄像头没有送来画面，照片未拍摄"));
    EXPECT_FALSE(ctl->model().photos.requested());
    ctl->session().Stop();
    EXPECT_EQ(QDir(emptyDir.path()).entryList({ "*.jpg" }, QDir::Files).size(), 0);
}

TEST_F(WebcamCtlTest, DoubleClickInPhotoModeSwitchesTheCameraAndTakesNoPhoto)
{
    auto ctl = MakeControl();
    ctl->show();
    ctl->model().settings.Change([](PictureSettings& s) { s.mouseMode = kMousePhoto; });
    int photos = 0, flashes = 0;
    QObject::connect(&ctl->session(), &PictureSession::photoSaved, [&](const QString&) { ++photos; });
    QObject::connect(&ctl->session(), &PictureSession::flashRequested, [&] { ++flashes; });
    const auto doubleClick = [&] {
        SendMouse(*ctl, QEvent::MouseButtonPress, QPoint(20, 20));
        SendMouse(*ctl, QEvent::MouseButtonRelease, QPoint(20, 20));
        SendMouse(*ctl, QEvent::MouseButtonDblClick, QPoint(20, 20));
        SendMouse(*ctl, QEvent::MouseButtonRelease, QPoint(20, 20));
    };
    const int settle = QApplication::doubleClickInterval() + 300;

    doubleClick(); // starts the camera
    ASSERT_TRUE(ctl->cameraRunning());
    ASSERT_TRUE(WaitUntil([&] { return !ctl->shownImage().isNull(); }));
    WaitUntil([] { return false; }, settle);
    EXPECT_EQ(photos, 0);

    doubleClick(); // stops it: the first press, made while running, takes no photo either
    EXPECT_FALSE(ctl->cameraRunning());
    ASSERT_TRUE(WorkerEndsWithin(*ctl, 500ms));
    ASSERT_TRUE(ctl->session().Start());
    WaitUntil([] { return false; }, settle);
    EXPECT_EQ(photos, 0);
    EXPECT_EQ(QDir(emptyDir.path()).entryList({ "*.jpg" }, QDir::Files).size(), 0);

    EXPECT_EQ(flashes, 0);

    // A single click still takes one, with the flash.
    SendMouse(*ctl, QEvent::MouseButtonPress, QPoint(20, 20));
    SendMouse(*ctl, QEvent::MouseButtonRelease, QPoint(20, 20));
    EXPECT_TRUE(WaitUntil([&] { return photos == 1; }));
    EXPECT_EQ(flashes, 1);
    ctl->session().Stop();
}

} // namespace
