#include "pipeline/record/GifRecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>

namespace {

using Clock = std::chrono::steady_clock;

const Clock::time_point kT0 = Clock::time_point(std::chrono::hours(1000));

Clock::time_point AtCameraFrame(int k)
{
    return kT0 + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(k / 30.0));
}

// Four coloured quarters (BGR), so the GIF's picture can be checked for place and colour.
cv::Mat Quarters(cv::Size size)
{
    cv::Mat picture(size, CV_8UC3);
    const int w = size.width / 2, h = size.height / 2;
    picture(cv::Rect(0, 0, w, h)).setTo(cv::Scalar(40, 40, 220));                    // red
    picture(cv::Rect(w, 0, size.width - w, h)).setTo(cv::Scalar(40, 200, 40));       // green
    picture(cv::Rect(0, h, w, size.height - h)).setTo(cv::Scalar(220, 60, 40));      // blue
    picture(cv::Rect(w, h, size.width - w, size.height - h)).setTo(cv::Scalar(240, 240, 240));
    return picture;
}

bool Near(QRgb pixel, int r, int g, int b)
{
    return std::abs(qRed(pixel) - r) <= 12 && std::abs(qGreen(pixel) - g) <= 12 && std::abs(qBlue(pixel) - b) <= 12;
}

class GifRecorderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Waits for the encoder's report (the test fails rather than hangs when none comes).
    PhotoResult Outcome()
    {
        auto future = outcome.get_future();
        if (future.wait_for(std::chrono::minutes(2)) != std::future_status::ready)
            ADD_FAILURE() << "no GIF was reported";
        return future.valid() ? future.get() : PhotoResult{};
    }

    GifRecorder::Notify Reporter()
    {
        return [this](const PhotoResult& r) {
            ++reports;
            outcome.set_value(r);
        };
    }

    QTemporaryDir dir;
    std::promise<PhotoResult> outcome;
    std::atomic<int> reports{0};
};

TEST_F(GifRecorderTest, ThreeSecondsGiveThirtyLoopingFramesAtMost480Wide)
{
    GifRecorder recorder(Reporter(), [] { return std::time_t(1'000'000'000); });
    QString message;
    ASSERT_TRUE(recorder.Start(dir.path(), 3, message)) << message.toStdString();
    EXPECT_EQ(recorder.framesWanted(), 30);
    // A 30 frames-a-second camera that misses half a second in the middle.
    for (int k = 0; k < 120 && recorder.collecting(); ++k) {
        if (k >= 30 && k < 45)
            continue;
        recorder.Offer(Quarters({1280, 720}), AtCameraFrame(k));
    }
    const PhotoResult result = Outcome();
    ASSERT_TRUE(result.saved) << result.message.toStdString();
    EXPECT_FALSE(recorder.busy());
    EXPECT_TRUE(result.path.endsWith(".gif"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(result.path).fileName()});

    QFile file(result.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("NETSCAPE2.0"));
    file.close();

    QImageReader reader(result.path);
    EXPECT_EQ(reader.loopCount(), -1); // for ever
    int frames = 0;
    QImage first;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) {
        if (frames == 0)
            first = frame;
        EXPECT_EQ(reader.nextImageDelay(), 100);
        ++frames;
    }
    EXPECT_EQ(frames, 30);
    ASSERT_EQ(first.size(), QSize(480, 270));
    EXPECT_TRUE(Near(first.pixel(120, 67), 220, 40, 40));
    EXPECT_TRUE(Near(first.pixel(360, 67), 40, 200, 40));
    EXPECT_TRUE(Near(first.pixel(120, 202), 40, 60, 220));
    EXPECT_TRUE(Near(first.pixel(360, 202), 240, 240, 240));
}

TEST_F(GifRecorderTest, RecordedSizeKeepsProportionsAndSmallPictures)
{
    EXPECT_EQ(GifRecorder::RecordedSize({1920, 1080}), cv::Size(480, 270));
    EXPECT_EQ(GifRecorder::RecordedSize({640, 480}), cv::Size(480, 360));
    EXPECT_EQ(GifRecorder::RecordedSize({320, 240}), cv::Size(320, 240));
    EXPECT_EQ(GifRecorder::RecordedSize({481, 1}), cv::Size(480, 1));
}

TEST_F(GifRecorderTest, StoppingEarlyKeepsWhatWasRecordedAndOneAtATime)
{
    GifRecorder recorder(Reporter());
    QString message;
    ASSERT_TRUE(recorder.Start(dir.path(), 5, message));
    for (int k = 0; k < 34; ++k) // 1.1 s of a 30 frames-a-second camera: tenths 0 to 11
        recorder.Offer(Quarters({320, 240}), AtCameraFrame(k));
    EXPECT_EQ(recorder.framesCollected(), 12);
    EXPECT_FALSE(recorder.Start(dir.path(), 3, message));
    EXPECT_FALSE(message.isEmpty());
    recorder.Stop();
    const PhotoResult result = Outcome();
    ASSERT_TRUE(result.saved) << result.message.toStdString();
    QImageReader reader(result.path);
    EXPECT_EQ(reader.imageCount(), 12);
    EXPECT_EQ(reader.size(), QSize(320, 240));
}

TEST_F(GifRecorderTest, CancelSavesNothingAndAMissingFolderIsRefused)
{
    {
        GifRecorder recorder(Reporter());
        QString message;
        EXPECT_FALSE(recorder.Start(dir.filePath("gone"), 3, message));
        EXPECT_TRUE(message.contains("照片文件夹不存在")) << message.toStdString();

        ASSERT_TRUE(recorder.Start(dir.path(), 3, message));
        recorder.Offer(Quarters({320, 240}), AtCameraFrame(0));
        recorder.Cancel();
        EXPECT_FALSE(recorder.busy());
        ASSERT_TRUE(recorder.Start(dir.path(), 2, message)); // free again
        recorder.Cancel();
    } // the destructor has nothing to save
    EXPECT_EQ(reports.load(), 0);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(GifRecorderTest, TwoGifsInOneSecondDoNotOverwriteEachOther)
{
    const std::time_t when = 1'000'000'000;
    QFile existing(dir.filePath(PhotoBaseName(when) + ".gif"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();

    GifRecorder recorder(Reporter(), [when] { return when; });
    QString message;
    ASSERT_TRUE(recorder.Start(dir.path(), 1, message));
    for (int k = 0; k < 30 && recorder.collecting(); ++k)
        recorder.Offer(Quarters({64, 48}), AtCameraFrame(k));
    const PhotoResult result = Outcome();
    ASSERT_TRUE(result.saved) << result.message.toStdString();
    EXPECT_EQ(QFileInfo(result.path).fileName(), PhotoBaseName(when) + "_02.gif");
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "keep me");
}

} // namespace
