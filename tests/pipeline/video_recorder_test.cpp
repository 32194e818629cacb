#include "pipeline/record/VideoRecorder.h"

#include "pipeline/record/LeftoverRecordings.h"
#include "pipeline/record/VideoSink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const Clock::time_point kT0 = Clock::time_point(std::chrono::hours(1000));

// 3 May 2026, 09:07:05 local time.
std::time_t ThirdOfMay()
{
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 4;
    local.tm_mday = 3;
    local.tm_hour = 9;
    local.tm_min = 7;
    local.tm_sec = 5;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

Clock::time_point AtFrame(int k, double fps = 30)
{
    return kT0 + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(k / fps));
}

// Picture number k: a soft diagonal gradient whose brightness moves with k, so each picture of
// the file can be told apart after lossy coding.
cv::Mat Picture(int k, cv::Size size = {160, 120})
{
    cv::Mat picture(size, CV_8UC3);
    for (int y = 0; y < size.height; ++y) {
        auto* row = picture.ptr<cv::Vec3b>(y);
        for (int x = 0; x < size.width; ++x)
            row[x] = cv::Vec3b(cv::saturate_cast<uchar>(20 + 3 * k + x / 4), cv::saturate_cast<uchar>(60 + y / 3),
                               cv::saturate_cast<uchar>(200 - 2 * k));
    }
    return picture;
}

std::vector<cv::Mat> ReadAll(const QString& path)
{
    cv::VideoCapture capture(QFile::encodeName(path).toStdString(), cv::CAP_FFMPEG);
    std::vector<cv::Mat> frames;
    cv::Mat frame;
    while (capture.read(frame))
        frames.push_back(frame.clone());
    return frames;
}

// Everything in the folder, hidden entries and subfolders included.
QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// A settable clock the recorder and the test share.
struct FakeClock {
    std::atomic<Clock::rep> now{kT0.time_since_epoch().count()};
    void Set(Clock::time_point t) { now.store(t.time_since_epoch().count()); }
    std::function<Clock::time_point()> Function()
    {
        return [this] { return Clock::time_point(Clock::duration(now.load())); };
    }
};

// A sink that writes a token file and can hold the writer inside Write, or fail on request.
struct SinkControl {
    std::mutex mutex;
    std::condition_variable changed;
    bool holdWrites = false;
    int writesEntered = 0;
    int writes = 0;
    int failAfter = -1; // Write fails once this many pictures were written
    bool closeFails = false;
};

class ControlledSink : public VideoSink {
public:
    explicit ControlledSink(std::shared_ptr<SinkControl> control) : control_(std::move(control)) {}
    QString Open(const QString& path, double, cv::Size) override
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("video");
        return QStringLiteral("MPEG-4");
    }
    bool Write(const cv::Mat&) override
    {
        std::unique_lock lock(control_->mutex);
        ++control_->writesEntered;
        control_->changed.notify_all();
        control_->changed.wait(lock, [this] { return !control_->holdWrites; });
        if (control_->failAfter >= 0 && control_->writes >= control_->failAfter)
            return false;
        ++control_->writes;
        return true;
    }
    bool Close() override { return !control_->closeFails; }

private:
    std::shared_ptr<SinkControl> control_;
};

class VideoRecorderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    VideoRecorderOptions Options(std::size_t capacity = 8)
    {
        VideoRecorderOptions options;
        options.queueCapacity = capacity;
        options.clock = clock.Function();
        options.wallClock = [] { return ThirdOfMay(); };
        return options;
    }
    VideoRecorderOptions ControlledOptions(std::size_t capacity = 8)
    {
        VideoRecorderOptions options = Options(capacity);
        options.sinkFactory = [this] { return std::make_unique<ControlledSink>(sink); };
        return options;
    }

    QTemporaryDir dir;
    FakeClock clock;
    std::shared_ptr<SinkControl> sink = std::make_shared<SinkControl>();
};

TEST_F(VideoRecorderTest, TwoSecondsWithALateFramePlayTwoSecondsAndHoldTheLastPicture)
{
    VideoRecorder recorder({}, Options(256)); // room for every picture: nothing is dropped here
    const RecordingStart start = recorder.Start(dir.path(), 30, {160, 120});
    ASSERT_TRUE(start.started) << start.message.toStdString();
    EXPECT_FALSE(start.codec.isEmpty());
    EXPECT_TRUE(start.message.contains(start.codec));

    // Pictures 20 to 29 never come (the camera stalled); picture 40 comes twice, the second
    // time early, within the slot already filled.
    for (int k = 0; k < 60; ++k) {
        if (k >= 20 && k < 30)
            continue;
        recorder.Offer(Picture(k), AtFrame(k));
        if (k == 40)
            recorder.Offer(Picture(99), AtFrame(40) + milliseconds(10));
    }
    // Nothing carries a video's name while recording, not even a hidden file.
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.mp4"}, QDir::Files | QDir::Hidden).isEmpty());

    clock.Set(AtFrame(60));
    const RecordingResult result = recorder.Stop();
    ASSERT_TRUE(result.saved) << result.message.toStdString();
    EXPECT_EQ(result.framesWritten, 60u);
    EXPECT_EQ(result.framesDropped, 0u);
    EXPECT_EQ(QFileInfo(result.path).fileName(), "2026-5-3-9-7-5.mp4");
    EXPECT_EQ(Entries(dir.path()), QStringList{"2026-5-3-9-7-5.mp4"}); // the hidden folder is gone

    cv::VideoCapture capture(QFile::encodeName(result.path).toStdString(), cv::CAP_FFMPEG);
    ASSERT_TRUE(capture.isOpened());
    EXPECT_NEAR(capture.get(cv::CAP_PROP_FPS), 30.0, 0.01);
    if (start.codec == QLatin1String(kPreferredVideoCodec)) {
        const int fourcc = static_cast<int>(capture.get(cv::CAP_PROP_FOURCC));
        EXPECT_EQ(fourcc, cv::VideoWriter::fourcc('a', 'v', 'c', '1'));
    }
    const std::vector<cv::Mat> frames = ReadAll(result.path);
    ASSERT_EQ(frames.size(), 60u);
    EXPECT_EQ(frames[0].size(), cv::Size(160, 120));
    // Which picture each slot should show: the missing ones hold picture 19.
    for (int slot : {0, 10, 19, 20, 25, 29, 30, 40, 59}) {
        const int k = (slot >= 20 && slot < 30) ? 19 : slot;
        EXPECT_GT(cv::PSNR(frames[slot], Picture(k)), 35.0) << "slot " << slot;
    }
}

TEST_F(VideoRecorderTest, AFullQueueDropsAndCountsWithoutWaitingAndTheClockIsKept)
{
    VideoRecorder recorder({}, ControlledOptions(4));
    ASSERT_TRUE(recorder.Start(dir.path(), 30, {64, 48}).started);
    {
        std::scoped_lock lock(sink->mutex);
        sink->holdWrites = true; // a writer far slower than the camera
    }
    recorder.Offer(Picture(0, {64, 48}), AtFrame(0));
    {
        std::unique_lock lock(sink->mutex);
        sink->changed.wait(lock, [this] { return sink->writesEntered == 1; });
    }
    // The writer is stuck in its first picture: four fit in the queue, the rest are dropped,
    // and none of these calls waits for the writer.
    for (int k = 1; k < 20; ++k)
        recorder.Offer(Picture(k, {64, 48}), AtFrame(k));
    EXPECT_EQ(recorder.dropped(), 15u);
    {
        std::scoped_lock lock(sink->mutex);
        sink->holdWrites = false;
    }
    sink->changed.notify_all();

    clock.Set(AtFrame(20));
    const RecordingResult result = recorder.Stop();
    ASSERT_TRUE(result.saved) << result.message.toStdString();
    EXPECT_EQ(result.framesDropped, 15u);
    // Dropped pictures leave their time to the picture before: still 20 pictures for 20 slots.
    EXPECT_EQ(result.framesWritten, 20u);
}

TEST_F(VideoRecorderTest, AFailedWriteRemovesThePartialFileAndReportsOnce)
{
    std::vector<RecordingResult> reported;
    std::mutex reportedLock;
    sink->failAfter = 5;
    VideoRecorder recorder(
        [&](const RecordingResult& r) {
            std::scoped_lock lock(reportedLock);
            reported.push_back(r);
        },
        ControlledOptions(64));
    ASSERT_TRUE(recorder.Start(dir.path(), 30, {64, 48}).started);
    for (int k = 0; k < 10; ++k)
        recorder.Offer(Picture(k, {64, 48}), AtFrame(k));
    const RecordingResult result = recorder.Stop();
    EXPECT_FALSE(result.saved);
    EXPECT_TRUE(result.message.contains("磁盘可能已满")) << result.message.toStdString();
    EXPECT_TRUE(result.message.contains(QDir::toNativeSeparators(dir.path())));
    EXPECT_TRUE(Entries(dir.path()).isEmpty()) << Entries(dir.path()).join(", ").toStdString();
    EXPECT_FALSE(recorder.recording());
    // Stopping again changes nothing and reports nothing more.
    EXPECT_FALSE(recorder.Stop().saved);
    std::scoped_lock lock(reportedLock);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].message, result.message);
}

TEST_F(VideoRecorderTest, AFileThatDoesNotFinishIsRemoved)
{
    sink->closeFails = true; // e.g. the disk filled while the index was written
    VideoRecorder recorder({}, ControlledOptions());
    ASSERT_TRUE(recorder.Start(dir.path(), 30, {64, 48}).started);
    recorder.Offer(Picture(0, {64, 48}), AtFrame(0));
    const RecordingResult result = recorder.Stop();
    EXPECT_FALSE(result.saved);
    EXPECT_FALSE(result.message.isEmpty());
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST_F(VideoRecorderTest, RefusesAMissingFolderAndARecordingWithoutPictures)
{
    VideoRecorder recorder({}, Options());
    const QString missing = dir.filePath("gone");
    const RecordingStart start = recorder.Start(missing, 30, {64, 48});
    EXPECT_FALSE(start.started);
    EXPECT_TRUE(start.message.contains("照片文件夹不存在")) << start.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
    // A file where the folder should be is named as what it is.
    const QString file = dir.filePath("a file");
    QFile(file).open(QIODevice::WriteOnly);
    const QString notFolder = recorder.Start(file, 30, {64, 48}).message;
    EXPECT_TRUE(notFolder.contains("不是文件夹")) << notFolder.toStdString();
    EXPECT_FALSE(notFolder.contains("不存在")) << notFolder.toStdString();
    ASSERT_TRUE(QFile::remove(file));

    // The camera stopped before the first picture: nothing to keep, nothing left behind.
    ASSERT_TRUE(recorder.Start(dir.path(), 30, {64, 48}).started);
    const RecordingResult result = recorder.Stop();
    EXPECT_FALSE(result.saved);
    EXPECT_FALSE(result.message.isEmpty());
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST_F(VideoRecorderTest, ASecondRecordingInTheSameSecondGetsTheNextNameAndElapsedFollowsTheClock)
{
    QFile existing(dir.filePath("2026-5-3-9-7-5.mp4"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();

    VideoRecorder recorder({}, ControlledOptions());
    for (const char* expected : {"2026-5-3-9-7-5_02.mp4", "2026-5-3-9-7-5_03.mp4"}) {
        clock.Set(kT0);
        ASSERT_TRUE(recorder.Start(dir.path(), 30, {64, 48}).started);
        EXPECT_TRUE(recorder.recording());
        EXPECT_FALSE(recorder.Start(dir.path(), 30, {64, 48}).started); // one at a time
        recorder.Offer(Picture(0, {64, 48}), AtFrame(0));
        clock.Set(kT0 + milliseconds(1500));
        EXPECT_EQ(recorder.elapsed(), milliseconds(1500));
        const RecordingResult result = recorder.Stop();
        ASSERT_TRUE(result.saved) << result.message.toStdString();
        EXPECT_EQ(QFileInfo(result.path).fileName(), expected);
        EXPECT_EQ(result.framesWritten, 45u); // the one picture held for 1.5 s
        clock.Set(kT0 + milliseconds(5000));
        EXPECT_EQ(recorder.elapsed(), milliseconds(1500)); // the length of the last recording
    }
    QFile kept(dir.filePath("2026-5-3-9-7-5.mp4"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep me");
}

TEST_F(VideoRecorderTest, DestroyingTheRecorderFinishesAPlayableFile)
{
    {
        VideoRecorder recorder({}, Options(64));
        ASSERT_TRUE(recorder.Start(dir.path(), 30, {160, 120}).started);
        for (int k = 0; k < 15; ++k)
            recorder.Offer(Picture(k), AtFrame(k));
        clock.Set(AtFrame(15));
    }
    const QStringList files = QDir(dir.path()).entryList({"*.mp4"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(ReadAll(dir.filePath(files[0])).size(), 15u);
}

// The photo folder goes away while a recording runs, with the real writer.
class VideoRecorderFolderGoneTest : public VideoRecorderTest {
protected:
    void SetUp() override
    {
        VideoRecorderTest::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkdir("photos"));
        ASSERT_TRUE(recorder.Start(photos, 30, {160, 120}).started);
        for (int k = 0; k < 15; ++k)
            recorder.Offer(Picture(k), AtFrame(k));
        clock.Set(AtFrame(15));
    }
    QString HiddenIn(const QString& folder) const
    {
        const QStringList hidden = QDir(folder).entryList({QString(kRecordingFolderPrefix) + "*"}, QDir::Dirs | QDir::Hidden);
        return hidden.size() == 1 ? QDir(folder).filePath(hidden[0]) : QString();
    }

    const QString photos = dir.filePath("photos");
    const QString moved = dir.filePath("moved");
    VideoRecorder recorder{{}, Options(64)};
};

TEST_F(VideoRecorderFolderGoneTest, AMovedFolderKeepsTheVideoAndTheMessageSaysWhere)
{
    ASSERT_TRUE(QDir().rename(photos, moved));
    const RecordingResult result = recorder.Stop();
    EXPECT_FALSE(result.saved);
    const QString kept = QDir(HiddenIn(moved)).filePath("2026-5-3-9-7-5.mp4");
    ASSERT_EQ(ReadAll(kept).size(), 15u) << result.message.toStdString();
    EXPECT_TRUE(result.message.contains(QDir::toNativeSeparators(kept))) << result.message.toStdString();
    EXPECT_FALSE(result.message.contains("磁盘")) << result.message.toStdString();
}

TEST_F(VideoRecorderFolderGoneTest, AFolderThereAgainReceivesTheVideoFromWhereItWent)
{
    ASSERT_TRUE(QDir().rename(photos, moved));
    ASSERT_TRUE(QDir().mkdir(photos)); // e.g. made again by a photo taken meanwhile
    const RecordingResult result = recorder.Stop();
    ASSERT_TRUE(result.saved) << result.message.toStdString();
    EXPECT_EQ(result.path, QDir(photos).filePath("2026-5-3-9-7-5.mp4"));
    EXPECT_EQ(ReadAll(result.path).size(), 15u);
    EXPECT_TRUE(Entries(moved).isEmpty()) << Entries(moved).join(", ").toStdString();
}

TEST_F(VideoRecorderFolderGoneTest, ADeletedFolderIsSaidToBeGoneNotFull)
{
    ASSERT_TRUE(QDir(photos).removeRecursively());
    const RecordingResult result = recorder.Stop();
    EXPECT_FALSE(result.saved);
    EXPECT_TRUE(result.message.contains("删除")) << result.message.toStdString();
    EXPECT_FALSE(result.message.contains("磁盘")) << result.message.toStdString();
    EXPECT_TRUE(result.message.contains(QDir::toNativeSeparators(photos))) << result.message.toStdString();
}

// A hidden recording folder left by a run that was killed: recovered when it plays, removed
// when it does not, and the rest of the folder, and a recording going on, left alone.
TEST_F(VideoRecorderTest, LeftoversThatPlayAreRecoveredUnderTheirNameAndOthersRemoved)
{
    const QDir photos(dir.path());
    auto writeFile = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    writeFile(photos.filePath("2026-5-3-9-7-5.mp4"), "keep me");
    writeFile(photos.filePath("a.jpg"), "photo");
    writeFile(photos.filePath(".photo-x.part"), "other");

    ASSERT_TRUE(photos.mkdir(".recording-aaaaaa") && photos.mkdir(".recording-bbbbbb"));
    const QString playable = photos.filePath(".recording-aaaaaa/2026-5-3-9-7-5.mp4");
    {
        cv::VideoWriter writer(QFile::encodeName(playable).toStdString(), cv::CAP_FFMPEG,
                               cv::VideoWriter::fourcc('m', 'p', '4', 'v'), 30, {160, 120});
        ASSERT_TRUE(writer.isOpened());
        for (int k = 0; k < 5; ++k)
            writer.write(Picture(k));
    }
    // What a killed writer leaves: the pictures without the index written at the end.
    QFile whole(playable);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.close();
    ASSERT_NE(bytes.lastIndexOf("moov"), -1);
    writeFile(photos.filePath(".recording-bbbbbb/2026-5-3-9-7-6.mp4"), bytes.left(bytes.lastIndexOf("moov") - 4));
    ASSERT_FALSE(IsPlayableVideo(photos.filePath(".recording-bbbbbb/2026-5-3-9-7-6.mp4")));

    // Another run records into the same folder meanwhile.
    VideoRecorder running({}, Options(64));
    ASSERT_TRUE(running.Start(dir.path(), 30, {160, 120}).started);
    running.Offer(Picture(0), AtFrame(0));

    const LeftoverRecordings found = RecoverLeftoverRecordings(dir.path());
    EXPECT_EQ(found.recovered, QStringList{photos.filePath("2026-5-3-9-7-5_02.mp4")});
    EXPECT_EQ(found.removed, 1);
    EXPECT_EQ(ReadAll(photos.filePath("2026-5-3-9-7-5_02.mp4")).size(), 5u);
    QStringList left = Entries(dir.path());
    EXPECT_EQ(left.filter(".recording-").size(), 1) << left.join(", ").toStdString(); // the running one
    left.removeIf([](const QString& name) { return name.startsWith(".recording-"); });
    EXPECT_EQ(left, (QStringList{".photo-x.part", "2026-5-3-9-7-5.mp4", "2026-5-3-9-7-5_02.mp4", "a.jpg"}));
    QFile kept(photos.filePath("2026-5-3-9-7-5.mp4"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep me");

    clock.Set(AtFrame(3));
    const RecordingResult result = running.Stop();
    ASSERT_TRUE(result.saved) << result.message.toStdString();
    EXPECT_EQ(ReadAll(result.path).size(), 3u);
}

} // namespace
