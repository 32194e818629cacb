#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/AppFolders.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CWelcomeMovie.h"
#include "app/DisplayFit.h"
#include "app/EditMenu.h"
#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/PictureCommands.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSplitter>
#include <QTemporaryDir>

namespace {

// Areas wider and narrower than the picture are in the view's tests below.
TEST(FitPictureRectTest, ExactAndDegenerateAreas)
{
    // Exactly the proportions: the whole area, not a pixel short.
    EXPECT_EQ(FitPictureRect({ 640, 480 }, QRect(0, 0, 1280, 960)), QRect(0, 0, 1280, 960));
    EXPECT_EQ(FitPictureRect({ 642, 481 }, QRect(10, 20, 642, 481)), QRect(10, 20, 642, 481));
    // Never empty, so the scales stay finite.
    EXPECT_EQ(FitPictureRect({ 640, 480 }, QRect(0, 0, 0, 0)).size(), QSize(1, 1));
    EXPECT_EQ(FitPictureRect({ 7680, 16 }, QRect(0, 0, 100, 100)), QRect(0, 49, 100, 1));
}

class ViewLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        folders = AppFolders::FromAppDir(dir.path().toStdString());
        state = std::make_shared<ScriptedSourceState>();
        values.cameraDetected = 1; // a later start: no probe
    }

    std::unique_ptr<CParvelWebcamView> ShowView(int viewWidth, int viewHeight)
    {
        auto view = std::make_unique<CParvelWebcamView>(folders, values, ScriptedFactory(state));
        view->resize(viewWidth, viewHeight);
        view->show();
        return view;
    }

    void SendMouse(QWidget& w, QEvent::Type type, QPoint at)
    {
        QMouseEvent event(type, at, w.mapToGlobal(at), Qt::LeftButton,
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton), Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &event);
    }

    QTemporaryDir dir;
    AppFolders folders;
    SettingsValues values;
    std::shared_ptr<ScriptedSourceState> state;
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes install { boxes };
};

TEST_F(ViewLayoutTest, FitSizeFillsTheViewAboveTheStripAndFollowsItsSize)
{
    auto view = ShowView(1000, 700);
    CWebcamCtl* webcam = view->webcam();
    ASSERT_EQ(webcam->geometry(), QRect(0, 0, 640, 480)); // full size is the start size
    ASSERT_TRUE(WaitUntil([&] { return webcam->welcomeStarted(); })); // its first paint
    const QRect reserved(0, 480, 1000, 60);
    ASSERT_EQ(view->movieRect(), reserved);

    view->SetDisplaySize(kDisplayFit);
    EXPECT_EQ(view->sizeMode(), kDisplayFit);
    // The strip moves to the bottom edge; the picture fits the 1000 × 640 above it.
    EXPECT_EQ(view->movieRect(), QRect(0, 640, 1000, 60));
    EXPECT_EQ(view->movie()->geometry(), view->movieRect());
    EXPECT_EQ(webcam->geometry(), QRect(73, 0, 853, 640));
    EXPECT_EQ(webcam->displayWidth(), 853);
    EXPECT_EQ(webcam->displayHeight(), 640);
    EXPECT_EQ(webcam->pictureWidth(), 640) << "the picture keeps its size";
    EXPECT_FLOAT_EQ(webcam->scaleX(), 640.0f / 853.0f);
    EXPECT_FLOAT_EQ(webcam->scaleY(), 0.75f);
    // The far corner of the shown picture is the picture's far corner.
    EXPECT_EQ(webcam->PicturePoint({ 852, 639 }), QPoint(639, 479));
    ASSERT_TRUE(webcam->welcomeStarted());
    EXPECT_EQ(webcam->welcomeImage()->targetRect, QRect(0, 0, 853, 640)) << "the welcome fills the picture's area";

    view->resize(800, 700);
    EXPECT_EQ(webcam->geometry(), QRect(0, 20, 800, 600));
    EXPECT_EQ(view->movie()->geometry(), QRect(0, 640, 800, 60));
    view->resize(1000, 400); // 1000 × 340 above the strip: 340 · 4 / 3 = 453
    EXPECT_EQ(webcam->geometry(), QRect(273, 0, 453, 340));
    EXPECT_FLOAT_EQ(webcam->scaleY(), 480.0f / 340.0f);

    view->SetDisplaySize(kDisplayFull);
    EXPECT_EQ(webcam->geometry(), QRect(0, 0, 640, 480));
    EXPECT_FLOAT_EQ(webcam->scaleX(), 1.0f);
    EXPECT_FLOAT_EQ(webcam->scaleY(), 1.0f);
    EXPECT_EQ(view->movieRect(), reserved);
    EXPECT_EQ(view->movie()->geometry(), reserved);
    view->resize(1200, 900); // only the fitted size follows the view
    EXPECT_EQ(webcam->geometry(), QRect(0, 0, 640, 480));
    EXPECT_EQ(view->movieRect(), reserved);

    // What neither the picture nor the strip covers shows the look's background, not a black void.
    view->SetDisplaySize(kDisplayHalf);
    QPalette look = view->palette();
    look.setColor(QPalette::Window, QColor(0xdc, 0xe6, 0xf2));
    view->setPalette(look);
    const QImage painted = view->grab().toImage();
    EXPECT_EQ(painted.pixelColor(600, 800), QColor(0xdc, 0xe6, 0xf2)); // below the strip
    EXPECT_EQ(painted.pixelColor(400, 100), QColor(0xdc, 0xe6, 0xf2)); // beside the half-size picture

    // The picture alone (full screen): fitted to the whole view, centred on black, no strip.
    view->SetPictureAlone(true);
    EXPECT_EQ(webcam->geometry(), QRect(0, 0, 1200, 900));
    EXPECT_FALSE(view->movie()->isVisible());
    view->resize(1600, 900);
    EXPECT_EQ(webcam->geometry(), QRect(200, 0, 1200, 900));
    EXPECT_EQ(view->grab().toImage().pixelColor(100, 450), QColor(Qt::black));
    view->SetPictureAlone(false);
    EXPECT_EQ(webcam->geometry(), QRect(0, 0, 320, 240));
    EXPECT_TRUE(view->movie()->isVisible());
}

TEST_F(ViewLayoutTest, StrokesOnTheFittedPictureLandOnTheirPicturePixels)
{
    auto view = ShowView(1000, 700);
    view->SetDisplaySize(kDisplayFit); // 853 × 640 for a 640 × 480 picture
    CWebcamCtl* webcam = view->webcam();
    ASSERT_TRUE(webcam->session().Start());
    webcam->model().settings.Change([](PictureSettings& s) { ToggleMousePaint(s, cv::Scalar(255, 255, 255)); });

    // Client x 100 … 700 at y 400 is picture x 75 … 525 at y 300.
    SendMouse(*webcam, QEvent::MouseButtonPress, { 100, 400 });
    SendMouse(*webcam, QEvent::MouseMove, { 700, 400 });
    SendMouse(*webcam, QEvent::MouseButtonRelease, { 700, 400 });
    webcam->session().Stop();

    const cv::Mat canvas = webcam->model().doodle.Canvas();
    ASSERT_EQ(canvas.size(), cv::Size(640, 480));
    const cv::Vec3b key = webcam->model().doodle.Key();
    EXPECT_NE(canvas.at<cv::Vec3b>(300, 300), key);
    EXPECT_NE(canvas.at<cv::Vec3b>(300, 76), key);
    EXPECT_NE(canvas.at<cv::Vec3b>(300, 524), key);
    EXPECT_EQ(canvas.at<cv::Vec3b>(300, 560), key) << "the stroke ends where the mouse stopped";
    EXPECT_EQ(canvas.at<cv::Vec3b>(400, 300), key) << "client y is not a picture row";
}

TEST_F(ViewLayoutTest, MovieStripIsReservedBelowThePictureAtMostSixtyHigh)
{
    struct Case {
        int viewHeight;
        int stripHeight;
    };
    for (const Case c : { Case { 500, 20 }, Case { 700, 60 }, Case { 400, 0 } }) {
        auto view = ShowView(640, c.viewHeight);
        EXPECT_EQ(view->movieRect(), QRect(0, 480, 640, c.stripHeight)) << c.viewHeight;
        EXPECT_EQ(view->movie()->geometry(), view->movieRect());
        EXPECT_TRUE(view->movie()->playing());
        // Nothing to animate in a strip of no height.
        EXPECT_EQ(view->movie()->timerActive(), c.stripHeight > 0) << c.viewHeight;
    }

    auto view = ShowView(640, 560);
    view->hide();
    EXPECT_FALSE(view->movie()->timerActive()) << "no frames for a strip nobody sees";
    view->show();
    EXPECT_TRUE(view->movie()->timerActive());
}

TEST_F(ViewLayoutTest, MovieGlidesTheGreetingLeftwardsOverItsGradient)
{
    auto view = ShowView(640, 540);
    CWelcomeMovie* movie = view->movie();
    ASSERT_EQ(movie->size(), QSize(640, 60));
    const int textWidth = movie->textSize().width();
    ASSERT_GT(textWidth, 200);

    EXPECT_EQ(movie->TextLeft(0), 640) << "enters at the right edge";
    EXPECT_LT(movie->TextLeft(1000), movie->TextLeft(500));
    // Once it has left at the left edge it comes round again.
    const qint64 cycleMs = static_cast<qint64>((640 + textWidth) * 1000 / CWelcomeMovie::kPixelsPerSecond);
    EXPECT_LE(movie->TextLeft(cycleMs - 20), -textWidth + 2);
    EXPECT_GE(movie->TextLeft(cycleMs + 20), 630);

    auto frameAt = [&](qint64 ms) {
        QImage image(movie->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        movie->Paint(painter, ms);
        return image;
    };
    const QImage empty = frameAt(0); // the greeting is still outside
    const qint64 textAtLeft = (640 - 10) * 1000 / static_cast<qint64>(CWelcomeMovie::kPixelsPerSecond);
    const QImage greeting = frameAt(textAtLeft);
    ASSERT_NEAR(movie->TextLeft(textAtLeft), 10, 1);
    // A light strip, no black left anywhere.
    for (int x = 0; x < 640; x += 40)
        for (int y = 0; y < 60; y += 10)
            EXPECT_GT(qGray(empty.pixel(x, y)), 150) << x << "," << y;
    auto changedColumns = [&](int from, int to) {
        int changed = 0;
        for (int x = from; x < to; ++x)
            for (int y = 0; y < 60; ++y)
                if (empty.pixel(x, y) != greeting.pixel(x, y)) {
                    ++changed;
                    break;
                }
        return changed;
    };
    EXPECT_EQ(changedColumns(0, 8), 0) << "nothing left of the greeting";
    EXPECT_GT(changedColumns(10, std::min(10 + textWidth, 640)), 100) << "the letters are drawn";
}

TEST_F(ViewLayoutTest, SizeCommandsSelectTheirModeAndShowItPressed)
{
    CMainFrame window(folders, values, ScriptedFactory(state));
    window.show();
    const CommandTable& table = window.commands();
    CommandContext& context = window.commandContext();
    CParvelWebcamView& view = *window.child()->view();
    ASSERT_TRUE(view.layoutDone());
    const CommandId sizes[] = { ID_BUTTON_SIZE1, ID_BUTTON_SIZE2, ID_BUTTON_SIZE3, ID_BUTTON_SIZE_FIT };
    EXPECT_EQ(table.Caption(ID_BUTTON_SIZE_FIT), QString("适应窗口"));

    for (CommandId chosen : { ID_BUTTON_SIZE_FIT, ID_BUTTON_SIZE3, ID_BUTTON_SIZE_FIT, ID_BUTTON_SIZE1 }) {
        ASSERT_TRUE(table.Run(chosen, context));
        for (CommandId id : sizes)
            EXPECT_EQ(table.Update(id, context).pressed, std::optional<bool>(id == chosen)) << chosen << " " << id;
    }
    EXPECT_EQ(view.sizeMode(), kDisplayFull);
    EXPECT_EQ(view.webcam()->geometry(), QRect(0, 0, 640, 480));
}

TEST_F(ViewLayoutTest, FittedPictureTakesTheWindowsWidthFromThePane)
{
    CChildFrame frame(folders, values, ScriptedFactory(state), QSize(1600, 900));
    frame.resize(1600, 900);
    frame.show();
    QSplitter* splitter = frame.splitter();
    CParvelWebcamView& view = *frame.view();
    ASSERT_EQ(splitter->sizes()[0], 640);
    const int total = splitter->sizes()[0] + splitter->sizes()[1];

    view.SetDisplaySize(kDisplayFit);
    // 900 high less the 60 of the strip is 840; at 4 : 3 that is 1120 wide.
    EXPECT_EQ(splitter->sizes()[0], 1120);
    EXPECT_EQ(view.webcam()->geometry(), QRect(0, 0, 1120, 840));
    const int paneWidth = splitter->sizes()[1];
    EXPECT_EQ(paneWidth, total - 1120);

    frame.resize(1800, 900); // the picture's side takes what the window gains
    EXPECT_EQ(splitter->sizes()[1], paneWidth);
    EXPECT_EQ(view.webcam()->height(), 840);

    view.SetDisplaySize(kDisplayHalf);
    EXPECT_EQ(splitter->sizes()[0], 640);
    frame.resize(1600, 900); // and the pane grows and shrinks with the window again
    EXPECT_EQ(splitter->sizes()[0], 640);
    view.SetDisplaySize(kDisplayFull);
    EXPECT_EQ(splitter->sizes()[0], 640);

    // A window too narrow for a larger picture leaves the pane its share.
    frame.resize(900, 900);
    view.SetDisplaySize(kDisplayFit);
    EXPECT_GE(splitter->sizes()[0], 640);
    EXPECT_EQ(splitter->sizes()[1], 240);
}

TEST_F(ViewLayoutTest, FittedPictureWiderThanTheWindowStillLeavesThePaneItsShare)
{
    values.imageWidth = 1920;
    values.imageHeight = 1080;
    CChildFrame frame(folders, values, ScriptedFactory(state), QSize(1400, 800));
    frame.resize(1400, 800);
    frame.show();
    // Larger than the test screen, the picture starts fitted; the user may still want it whole.
    EXPECT_EQ(frame.view()->sizeMode(), kDisplayFit);
    frame.view()->SetDisplaySize(kDisplayFull);
    QSplitter* splitter = frame.splitter();
    const int total = splitter->sizes()[0] + splitter->sizes()[1];
    ASSERT_LT(total, 1920);
    // At full size the picture is cut at the pane.
    EXPECT_EQ(splitter->sizes()[1], 240);

    frame.view()->SetDisplaySize(kDisplayFit);
    EXPECT_EQ(splitter->sizes()[1], 240);
    EXPECT_EQ(splitter->sizes()[0], total - 240);
    frame.view()->SetDisplaySize(kDisplayFull);
    EXPECT_EQ(splitter->sizes()[1], 240);

    // Laid out first in a window wider than the picture, then made narrower (as a window
    // maximised on a small screen is): the pane keeps its share.
    CChildFrame wide(folders, values, ScriptedFactory(state), QSize(2400, 800));
    wide.resize(2400, 800);
    wide.show();
    wide.view()->SetDisplaySize(kDisplayFull);
    ASSERT_EQ(wide.splitter()->sizes()[0], 1920);
    wide.resize(1400, 800);
    EXPECT_EQ(wide.splitter()->sizes()[1], 240);
    EXPECT_EQ(wide.splitter()->sizes()[0] + 240, total);
    // Made wide again, the picture takes back its width before the pane grows.
    wide.resize(2400, 800);
    EXPECT_EQ(wide.splitter()->sizes()[0], 1920);
    wide.resize(2600, 800);
    EXPECT_EQ(wide.splitter()->sizes()[0], 1920);

    // The same at three-quarter size: back to the 1440 the picture is shown at.
    wide.view()->SetDisplaySize(kDisplayThreeQuarters);
    wide.resize(1000, 800);
    EXPECT_EQ(wide.splitter()->sizes()[1], 240);
    wide.resize(2400, 800);
    EXPECT_EQ(wide.splitter()->sizes()[0], 1440);
}

} // namespace
