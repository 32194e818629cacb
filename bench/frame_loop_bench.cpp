// The frame loop as a user feels it: the real FrameLoop (no widget) fed by a source that behaves
// like a camera (30 frames a second on its own thread, each frame stamped with its capture time, a
// queue of 4 that drops the oldest when full), every stage on, at 640 × 480 and 1920 × 1080, for
// 10 s each (1080p also from a Motion-JPEG camera, its decoding included) and then 5 s with one-offs (automatic flow start, photo, frame pick). Reports pictures
// per second, capture-to-hand-out latency (median, 99th percentile, worst) and the longest gap
// between pictures, each also as a ratio to a straightforward formulation of one whole frame
// timed on one core in the same run (the compute-bound yardstick).
//
// A plain program rather than Google Benchmark: each figure is one long run, not a repeated call.
// Usage: frame_loop_bench [seconds-steady [seconds-one-offs]]
#include "BenchFixtures.h"

#include "pipeline/capture/MjpegDecoder.h"
#include "pipeline/compose/DisplayConversion.h"
#include "pipeline/FrameLoop.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureModel.h"
#include "pipeline/stages/ProcessFrame.h"
#include "pipeline/stages/ZoomCut.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/video/tracking.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using bench::DecorationFiles;
using bench::PaintSomeStrokes;
using bench::Textured;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// A camera as its driver presents it: frames arrive every 1/30 s whether or not anyone reads
// them; up to 4 wait in the queue and a new one pushes out the oldest; a read takes the oldest
// waiting frame, or waits for the next one. With mjpeg, the frames come as a webcam sends them at
// 1080p, JPEG-compressed, and each read decodes its frame as the program's camera source does, on
// the thread that reads the camera.
class CameraLikeSource : public FrameSource {
public:
    explicit CameraLikeSource(cv::Size size, bool mjpeg = false)
        : size_(size)
        , frames_ { Textured(size, 0), Textured(size, 2) }
        , mjpeg_(mjpeg)
    {
        if (mjpeg_)
            for (int i = 0; i < 2; ++i)
                cv::imencode(".jpg", frames_[i], jpegs_[i], { cv::IMWRITE_JPEG_QUALITY, 85 });
    }
    ~CameraLikeSource() override { Release(); }

    bool Open() override
    {
        Release();
        {
            std::scoped_lock lock(mutex_);
            open_ = true;
            queue_.clear();
        }
        producer_ = std::thread([this] { Produce(); });
        return true;
    }

    bool Read(cv::Mat& frame) override
    {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, 200ms, [this] { return !queue_.empty() || !open_; }) || queue_.empty())
            return false;
        const int n = queue_.front().frame;
        lastRead_ = queue_.front().captured;
        queue_.pop_front();
        if (!mjpeg_) {
            frame = frames_[n];
            return true;
        }
        lock.unlock();
        return decoder_.Decode(jpegs_[n].data(), jpegs_[n].size(), frame);
    }

    cv::Size FrameSize() const override { return size_; }
    bool PacesItself() const override { return true; }
    std::optional<Clock::time_point> LastCaptureTime() const override { return lastRead(); }

    void Release() override
    {
        {
            std::scoped_lock lock(mutex_);
            open_ = false;
        }
        arrived_.notify_all();
        if (producer_.joinable())
            producer_.join();
    }

    // Capture time of the frame the last read returned.
    Clock::time_point lastRead() const
    {
        std::scoped_lock lock(mutex_);
        return lastRead_;
    }

private:
    struct Queued {
        int frame = 0;
        Clock::time_point captured;
    };

    void Produce()
    {
        Clock::time_point next = Clock::now();
        for (int n = 0;; ++n) {
            std::this_thread::sleep_until(next);
            next += std::chrono::microseconds(33333);
            std::scoped_lock lock(mutex_);
            if (!open_)
                return;
            if (queue_.size() == 4)
                queue_.pop_front();
            queue_.push_back({ n & 1, Clock::now() });
            arrived_.notify_all();
        }
    }

    cv::Size size_;
    cv::Mat frames_[2];
    bool mjpeg_ = false;
    std::vector<std::uint8_t> jpegs_[2];
    MjpegDecoder decoder_; // the reading thread's
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Queued> queue_;
    bool open_ = false;
    Clock::time_point lastRead_;
    std::thread producer_;
};

// The whole frame written the plain way, on one core: flip, HSV adjustment by split, look-up and
// merge, grain with the C library's rand() per sample, flow with a fresh pyramid each frame, the
// doodle by a pixel loop, the decorations painted with QPainter each frame, and Qt's own
// conversion and smooth scaling to the display.
class ReferenceFrame {
public:
    ReferenceFrame(cv::Size size, const DecorationFiles& files)
        : frames_ { Textured(size, 0), Textured(size, 2) }
        , logo_(files.logo)
        , border_(files.frame)
        , sticker_(files.sticker)
    {
        PaintSomeStrokes(doodle_, size);
        canvas_ = doodle_.Canvas();
        cv::RNG rng(5);
        for (int i = 0; i < 10; ++i)
            places_.emplace_back(rng.uniform(0, size.width - 96), rng.uniform(0, size.height - 96));
    }

    void Run()
    {
        cv::Mat frame = frames_[++n_ & 1].clone();
        cv::flip(frame, frame, 1);
        Adjust(frame);
        bench::PerSampleGrain(frame);
        Flow(frame);
        Doodle(frame);
        Present(frame);
    }

private:
    void Adjust(cv::Mat& frame)
    {
        cv::Mat hsv;
        cv::cvtColor(frame, hsv, cv::COLOR_BGR2HSV);
        std::vector<cv::Mat> planes;
        cv::split(hsv, planes);
        const int brightness[3] = { 100, 130, 110 };
        for (int c = 1; c < 3; ++c) {
            const double br = brightness[c] - 100;
            cv::Mat table(1, 256, CV_8U);
            for (int v = 0; v < 256; ++v)
                table.at<uchar>(v) = cv::saturate_cast<uchar>(256.0 / 255.0 * v + 256.0 / 255.0 * br);
            cv::LUT(planes[c], table, planes[c]);
        }
        cv::merge(planes, hsv);
        cv::cvtColor(hsv, frame, cv::COLOR_HSV2BGR);
    }


    void Flow(cv::Mat& frame)
    {
        cv::Mat grey;
        cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
        if (points_.size() < 450 || previous_.empty()) {
            cv::goodFeaturesToTrack(grey, points_, 500, 0.01, 10, cv::noArray(), 3, false, 0.04);
        } else {
            std::vector<cv::Point2f> tracked;
            std::vector<uchar> status;
            cv::calcOpticalFlowPyrLK(previous_, grey, points_, tracked, status, cv::noArray(), cv::Size(10, 10), 3,
                cv::TermCriteria(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 20, 0.03));
            points_.clear();
            for (std::size_t i = 0; i < tracked.size(); ++i)
                if (status[i]) {
                    points_.push_back(tracked[i]);
                    cv::circle(frame, cv::Point(cvRound(tracked[i].x), cvRound(tracked[i].y)), 3,
                        cv::Scalar(0, 0, 255), cv::FILLED, cv::LINE_8);
                }
        }
        previous_ = grey;
    }

    void Doodle(cv::Mat& frame) const
    {
        for (int y = 0; y < frame.rows; ++y)
            for (int x = 0; x < frame.cols; ++x) {
                const cv::Vec3b c = canvas_.at<cv::Vec3b>(y, x);
                if (c != kDoodleKey)
                    frame.at<cv::Vec3b>(y, x) = c;
            }
    }

    void Present(const cv::Mat& frame)
    {
        QImage picture = QImage(frame.data, frame.cols, frame.rows, static_cast<qsizetype>(frame.step),
            QImage::Format_BGR888)
                             .convertToFormat(QImage::Format_RGB32);
        {
            QPainter p(&picture);
            const QImage logo(logo_);
            p.drawImage(picture.width() - logo.width(), picture.height() - logo.height(), logo);
            p.drawImage(picture.rect(), QImage(border_));
            for (const cv::Point& at : places_)
                p.drawImage(at.x, at.y, sticker_);
        }
        const QImage shown = picture.scaled(picture.width() * 3 / 4, picture.height() * 3 / 4);
        sink_ += shown.constBits()[0];
    }

    cv::Mat frames_[2];
    QString logo_, border_;
    QImage sticker_;
    DoodleLayer doodle_;
    cv::Mat canvas_;
    std::vector<cv::Point> places_;
    std::vector<cv::Point2f> points_;
    cv::Mat previous_;
    int n_ = 0;
    unsigned sink_ = 0;
};

// Median time of one reference frame, on one core.
double ReferenceMs(cv::Size size, const DecorationFiles& files)
{
    const int threads = cv::getNumThreads();
    cv::setNumThreads(1);
    ReferenceFrame reference(size, files);
    for (int i = 0; i < 3; ++i)
        reference.Run();
    std::vector<double> times;
    const Clock::time_point end = Clock::now() + 3s;
    while (Clock::now() < end || times.size() < 5) {
        const Clock::time_point t0 = Clock::now();
        reference.Run();
        times.push_back(Ms(Clock::now() - t0));
    }
    cv::setNumThreads(threads);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Median time of the program's own whole frame on one core: take, the stages with everything on,
// the picture, decorations and display size, one after the other (what the loop spreads over
// its threads).
double OwnFrameMs(cv::Size size, const DecorationFiles& files)
{
    const int threads = cv::getNumThreads();
    cv::setNumThreads(1);
    PictureSettings settings;
    settings.channelsDefault = false;
    settings.colourModel = kColourHsv;
    settings.sliders.brightness = { 100, 130, 110 };
    settings.effectStyle = kEffectGrain;
    settings.flowOn = true;
    settings.doodleShown = true;
    FlowState flow;
    DoodleLayer doodle;
    PaintSomeStrokes(doodle, size);
    GrainRandom random;
    OverlayStore decorations(files.logo);
    decorations.SetFrameImage(files.frame, 1);
    for (int i = 0; i < 10; ++i)
        decorations.AddAddOn(files.sticker, 1, size.width, size.height);
    const cv::Mat frames[2] = { Textured(size, 0), Textured(size, 2) };
    cv::Mat work(size, CV_8UC3);
    QImage picture;
    DisplayBuffers buffers;
    const QSize display(size.width * 3 / 4, size.height * 3 / 4);
    std::vector<double> times;
    const Clock::time_point end = Clock::now() + 3s;
    for (int n = 0; Clock::now() < end || times.size() < 5; ++n) {
        if (flow.PointCount() < 450) {
            flow.RequestDetection(); // off the clock, as in the yardstick's tracking frames
            TakeAndProcessFrame(frames[n & 1], work, std::nullopt, settings, flow, doodle, random);
            continue;
        }
        const Clock::time_point t0 = Clock::now();
        TakeAndProcessFrame(frames[n & 1], work, std::nullopt, settings, flow, doodle, random);
        FillPictureFromFrame(work, picture);
        decorations.DrawOverlays(picture);
        const QImage shown = buffers.Stretch(picture, display);
        times.push_back(Ms(Clock::now() - t0));
        if (shown.isNull())
            std::abort();
    }
    cv::setNumThreads(threads);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures {
    double perSecond = 0;
    double median = 0;
    double p99 = 0;
    double worst = 0;
    double longestGap = 0;
    int pictures = 0;
    int oneOffs = 0;
};

// What the loop's callback sees: each picture's hand-out time and the capture time of its frame.
class Recorder {
public:
    void Picture(Clock::time_point captured)
    {
        const Clock::time_point now = Clock::now();
        std::scoped_lock lock(mutex_);
        if (!recording_)
            return;
        latencies_.push_back(Ms(now - captured));
        if (last_ != Clock::time_point {})
            longestGap_ = std::max(longestGap_, Ms(now - last_));
        last_ = now;
    }

    void Begin()
    {
        std::scoped_lock lock(mutex_);
        latencies_.clear();
        longestGap_ = 0;
        last_ = {};
        recording_ = true;
        began_ = Clock::now();
    }

    Figures End()
    {
        std::scoped_lock lock(mutex_);
        recording_ = false;
        Figures f;
        const double seconds = Ms(Clock::now() - began_) / 1000.0;
        f.pictures = static_cast<int>(latencies_.size());
        f.perSecond = f.pictures / seconds;
        f.longestGap = longestGap_;
        if (!latencies_.empty()) {
            std::vector<double> sorted = latencies_;
            std::sort(sorted.begin(), sorted.end());
            f.median = sorted[sorted.size() / 2];
            f.p99 = sorted[std::min(sorted.size() - 1, sorted.size() * 99 / 100)];
            f.worst = sorted.back();
        }
        return f;
    }

private:
    std::mutex mutex_;
    std::vector<double> latencies_;
    double longestGap_ = 0;
    Clock::time_point last_;
    Clock::time_point began_;
    bool recording_ = false;
};

struct LoopFigures {
    Figures steady;
    Figures oneOffs;
    FrameStats::Report stages; // the loop's own stage times over the steady run
};

LoopFigures RunLoop(cv::Size size, bool mjpeg, const DecorationFiles& files, double steadySeconds, double oneOffSeconds)
{
    std::atomic<int> photosDone { 0 };
    PictureModel model(files.dir.path(), files.photos, [&](const PhotoResult&) { ++photosDone; });
    model.settings.Change([](PictureSettings& s) {
        s.channelsDefault = false;
        s.colourModel = kColourHsv;
        s.sliders.brightness = { 100, 130, 110 };
        s.effectStyle = kEffectGrain;
        s.flowOn = true;
        s.doodleShown = true;
    });
    model.flow.RequestDetection();
    model.overlays.SetFrameImage(files.frame, 1);
    for (int i = 0; i < 10; ++i)
        model.overlays.AddAddOn(files.sticker, 1, size.width, size.height);

    Recorder recorder;
    FrameLoop loop(
        model, [&] { return std::make_unique<CameraLikeSource>(size, mjpeg); }, [](QImage) {});
    loop.SetPictureTimed([&](Clock::time_point captured) { recorder.Picture(captured); });
    loop.SetPictureSize(size.width, size.height);
    loop.SetDisplaySize(size.width * 3 / 4, size.height * 3 / 4);
    PaintSomeStrokes(model.doodle, size);
    if (loop.Start() != FrameLoop::StartResult::Started) {
        std::fprintf(stderr, "the loop did not start\n");
        std::exit(1);
    }
    PaintSomeStrokes(model.doodle, size); // the start clears the doodle
    std::this_thread::sleep_for(1s);      // settle: first detection, caches

    LoopFigures result;
    recorder.Begin();
    loop.stats().Take();
    std::this_thread::sleep_for(std::chrono::duration<double>(steadySeconds));
    result.steady = recorder.End();
    result.stages = loop.stats().Take();

    // One-offs, one every half second in turn, each from this thread as the interface thread
    // would: an automatic flow start, a photo, a frame pick.
    recorder.Begin();
    const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(oneOffSeconds));
    int n = 0;
    while (Clock::now() < end) {
        switch (n++ % 3) {
        case 0:
            model.flow.RequestDetection();
            break;
        case 1:
            model.photos.Request();
            break;
        default:
            model.overlays.SetFrameImage(files.frame, 1);
            break;
        }
        std::this_thread::sleep_for(500ms);
    }
    result.oneOffs = recorder.End();
    result.oneOffs.oneOffs = n;
    loop.StopAndJoin();
    return result;
}

void PrintRow(const char* what, const Figures& f, double referenceMs)
{
    const double referencePerSecond = 1000.0 / referenceMs;
    std::printf("%-10s %6d %8.1f (%5.2fx) %8.1f (%5.2fx) %8.1f (%5.2fx) %8.1f (%5.2fx) %8.1f (%5.2fx)\n", what,
        f.pictures, f.perSecond, f.perSecond / referencePerSecond, f.median, f.median / referenceMs, f.p99,
        f.p99 / referenceMs, f.worst, f.worst / referenceMs, f.longestGap, f.longestGap / referenceMs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double steadySeconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const double oneOffSeconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    const DecorationFiles files;
    // The 1080p camera twice: frames handed over ready, and Motion-JPEG as a real webcam sends
    // them at that size, decoded on the camera's thread.
    const struct {
        cv::Size size;
        bool mjpeg;
    } runs[] = { { { 640, 480 }, false }, { { 1920, 1080 }, false }, { { 1920, 1080 }, true } };
    for (const auto& [size, mjpeg] : runs) {
        const double referenceMs = ReferenceMs(size, files);
        const double ownMs = OwnFrameMs(size, files);
        const LoopFigures loop = RunLoop(size, mjpeg, files, steadySeconds, oneOffSeconds);
        std::printf("\n%d x %d%s: yardstick (straightforward whole frame, one core) %.1f ms = %.1f frames/s\n",
            size.width, size.height, mjpeg ? " Motion-JPEG camera" : "", referenceMs, 1000.0 / referenceMs);
        std::printf("own whole frame, one core: %.1f ms (%.2fx the yardstick)\n", ownMs, ownMs / referenceMs);
        std::printf("%-10s %6s %17s %17s %17s %17s %17s\n", "run", "pics", "pictures/s", "latency med ms",
            "latency p99 ms", "worst ms", "longest gap ms");
        PrintRow("steady", loop.steady, referenceMs);
        PrintRow("one-offs", loop.oneOffs, referenceMs);
        // Headroom: how much of a frame period the worker's own stages leave for stages to come.
        const double period = 1000.0 / 30.0;
        std::printf("worker per frame (median, two cores): %.1f ms, %.0f %% of %.1f ms free; stages:",
            loop.stages.workerMedianMs, 100.0 * (1.0 - loop.stages.workerMedianMs / period), period);
        for (int stage = 0; stage < kStageCount; ++stage)
            std::printf(" %s %.1f", kStageNames[stage], loop.stages.stageMedianMs[stage]);
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
