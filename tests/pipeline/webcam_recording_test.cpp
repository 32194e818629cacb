#include "QtTestApp.h"
#include "ScriptedSource.h"

#include "pipeline/CWebcamCtl.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <opencv2/videoio.hpp>

namespace {

// The scene every frame shows, in BGR.
const cv::Scalar kScene(40, 120, 200);

class WebcamRecordingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        state->frameFor = [](int) { return cv::Mat(480, 640, CV_8UC3, kScene); };
        ctl = std::make_unique<CWebcamCtl>(dir.path(), dir.path(), ScriptedFactory(state));
        ctl->SetPictureSize(640, 480);
        ctl->SetDisplaySize(320, 240);
        QObject::connect(&ctl->session(), &PictureSession::videoSaved, [this](const QString& p) { saved << p; });
        QObject::connect(&ctl->session(), &PictureSession::gifSaved, [this](const QString& p) { saved << p; });
        QObject::connect(&ctl->session(), &PictureSession::recordingFailed, [this](const QString& m) { failures << m; });
    }
    void TearDown() override { ctl->session().Stop(); }

    void RunFrames(int frames)
    {
        const int reads = state->reads;
        ASSERT_TRUE(WaitUntil([&] { return state->reads > reads + frames; }, 10000));
    }

    QTemporaryDir dir;
    std::shared_ptr<ScriptedSourceState> state = std::make_shared<ScriptedSourceState>();
    RecordingMessageBoxes messages;
    ScopedMessageBoxes installMessages { messages };
    std::unique_ptr<CWebcamCtl> ctl;
    QStringList saved;
    QStringList failures;
};

struct VideoFacts {
    int frames = 0;
    cv::Size size;
    cv::Scalar mean;
};

VideoFacts ReadBack(const QString& path)
{
    VideoFacts facts;
    cv::VideoCapture capture(QFile::encodeName(path).toStdString(), cv::CAP_FFMPEG);
    cv::Mat frame;
    while (capture.read(frame)) {
        if (facts.frames++ == 0) {
            facts.size = frame.size();
            facts.mean = cv::mean(frame);
        }
    }
    return facts;
}

TEST_F(WebcamRecordingTest, RecordingTheComposedPicturesGivesAReadableVideoAndTheBadgeStaysOnTheScreen)
{
    EXPECT_FALSE(ctl->session().StartRecording().started); // no camera, no recording
    ASSERT_TRUE(ctl->session().Start());
    const RecordingStart start = ctl->session().StartRecording();
    ASSERT_TRUE(start.started) << start.message.toStdString();
    EXPECT_FALSE(start.message.isEmpty());
    EXPECT_TRUE(ctl->session().recording());
    RunFrames(20);

    // The red dot is painted over the picture on the screen.
    const QImage screen = ctl->grab().toImage();
    const QColor dot = screen.pixelColor(16, 16);
    EXPECT_GT(dot.red(), 150);
    EXPECT_LT(dot.green(), 80);
    EXPECT_EQ(ctl->session().recordingMessage(), start.message);

    ctl->session().StopRecording();
    EXPECT_FALSE(ctl->session().recording());
    ASSERT_TRUE(WaitUntil([&] { return !saved.isEmpty(); })) << failures.join(' ').toStdString();
    EXPECT_TRUE(saved.front().endsWith(".mp4"));
    const VideoFacts facts = ReadBack(saved.front());
    EXPECT_GE(facts.frames, 10);
    EXPECT_EQ(facts.size, cv::Size(640, 480)); // picture resolution, not the display's
    // The file has the bare picture: no red dot, the scene's colour everywhere.
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(facts.mean[c], kScene[c], 8.0) << c;
    // Nothing half-written is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList({ "*.mp4" }, QDir::Files).size(), 1);
}

TEST_F(WebcamRecordingTest, StoppingTheCameraFinishesAPlayableVideo)
{
    ASSERT_TRUE(ctl->session().Start());
    ASSERT_TRUE(ctl->session().StartRecording().started);
    RunFrames(10);
    ctl->session().Stop();
    EXPECT_FALSE(ctl->session().recording());
    ASSERT_TRUE(WaitUntil([&] { return !saved.isEmpty(); })) << failures.join(' ').toStdString();
    EXPECT_GE(ReadBack(saved.front()).frames, 5);
}

TEST_F(WebcamRecordingTest, AGifRecordsTheChosenSecondsAtTenFramesASecond)
{
    QString message;
    EXPECT_EQ(ctl->session().StartGif(message), PictureSession::GifStart::CameraStopped);
    ASSERT_TRUE(ctl->session().Start());
    ctl->session().SetGifSeconds(2);
    ASSERT_EQ(ctl->session().StartGif(message), PictureSession::GifStart::Started) << message.toStdString();
    // While it is taken, the screen shows the red dot as for a video.
    ASSERT_TRUE(WaitUntil([&] { return ctl->model().gif.framesCollected() > 0; }));
    const QColor dot = ctl->grab().toImage().pixelColor(16, 16);
    EXPECT_GT(dot.red(), 150);
    EXPECT_LT(dot.green(), 80);
    ASSERT_TRUE(WaitUntil([&] { return !saved.isEmpty(); }, 15000)) << failures.join(' ').toStdString();
    ASSERT_TRUE(saved.front().endsWith(".gif"));
    QImageReader reader(saved.front());
    EXPECT_EQ(reader.imageCount(), 20);
    const QImage first = reader.read();
    ASSERT_FALSE(first.isNull());
    EXPECT_LE(first.width(), 480);
    const QColor centre = first.pixelColor(first.width() / 2, first.height() / 2);
    EXPECT_NEAR(centre.red(), kScene[2], 12);
    EXPECT_NEAR(centre.blue(), kScene[0], 12);
}

} // namespace
