// Cost of finding faces for stickers that follow them, as multiples of one plain frame copy
// measured in the same run ("x_copy"): one detection run (on the tracker's own thread), and what
// the frame loop itself pays per frame (offering the picture, moving the attached stickers).

#include "BenchFixtures.h"

#include "pipeline/faces/FaceDetector.h"
#include "pipeline/faces/FaceTracker.h"
#include "pipeline/compose/OverlayStore.h"
#include "pipeline/capture/TestSceneFace.h"
#include "pipeline/capture/TestSceneSource.h"

#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <map>
#include <vector>

namespace {

using bench::CopyNs;
using bench::Measure;

// The test scene with its moving face, at any size.
cv::Mat Scene(int w, int h, double seconds)
{
    static const cv::Mat photo
        = LoadTestSceneFace(PARVEL_SOURCE_DIR "/resources/system/" + std::string(kTestSceneFaceFile));
    cv::Mat frame = TestSceneSource::Render(cvRound(seconds * 30));
    if (frame.cols != w || frame.rows != h)
        cv::resize(frame, frame, cv::Size(w, h));
    DrawMovingFace(frame, seconds, photo);
    return frame;
}

void BM_FrameCopy(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const cv::Mat frame = Scene(w, h, 0);
    cv::Mat dst(h, w, CV_8UC3);
    Measure(state, w, h, [&] {
        frame.copyTo(dst);
        benchmark::DoNotOptimize(dst.data);
    });
}

// One detection run, grey copy and reduction included, on a few places along the face's path.
void BM_FaceDetect(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    std::vector<cv::Mat> frames;
    for (double t = 0; t < 12; t += 1.5)
        frames.push_back(Scene(w, h, t));
    FaceDetector detector(FaceDetector::FindCascade());
    if (!detector.loaded()) {
        state.SkipWithError("no face cascade (opencv-data)");
        return;
    }
    size_t i = 0;
    size_t found = 0;
    Measure(state, w, h, [&] {
        found += detector.Detect(frames[i++ % frames.size()]).size();
    });
    state.counters["faces_per_run"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}

// What the frame loop pays per frame with the command on: offering the picture (a copy every
// few frames, never a wait) and moving two attached stickers onto the tracked face.
void BM_FaceFollowPerFrame(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const cv::Mat frame = Scene(w, h, 3.0);
    QTemporaryDir dir;
    QImage sticker(64, 32, QImage::Format_ARGB32);
    sticker.fill(Qt::yellow);
    sticker.save(dir.filePath("crown.png"));
    OverlayStore overlays(dir.filePath("loogo.png"), [] { return 1u; });
    overlays.ToggleFollowFaces();
    FaceTracker tracker;
    double t = 0;
    tracker.DetectNow(frame, t);
    tracker.DetectNow(frame, t += 0.1);
    const std::vector<TrackedFace> faces = tracker.Faces(t);
    if (faces.empty()) {
        state.SkipWithError("no face found");
        return;
    }
    overlays.FollowFaces(faces);
    for (int i = 0; i < 2; ++i) {
        overlays.AddAddOn(dir.filePath("crown.png"), 1, w, h);
        const cv::Rect2d box = faces[0].box;
        const int cx = cvRound(box.x + box.width / 2);
        const int cy = cvRound(box.y + box.height * (0.2 + 0.4 * i));
        overlays.PointerMove(33, 17);
        overlays.PointerDown();
        overlays.PointerMove(cx, cy);
        overlays.PointerUp();
    }
    Measure(state, w, h, [&] {
        t += 1.0 / 30;
        tracker.Offer(frame, t);
        overlays.FollowFaces(tracker.Faces(t));
    });
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Args({ 640, 480 })->Args({ 1920, 1080 })->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FrameCopy)->Apply(Sizes);
BENCHMARK(BM_FaceDetect)->Apply(Sizes);
BENCHMARK(BM_FaceFollowPerFrame)->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
