// The present path: camera frame → 4-byte display image → area scaling to the display size,
// against one plain copy of the frame measured in the same run.
#include "pipeline/compose/DisplayConversion.h"
#include "pipeline/compose/Overlays.h"
#include "pipeline/compose/Present.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace {

cv::Mat RandomFrame(int w, int h)
{
    cv::Mat frame(h, w, CV_8UC3);
    cv::randu(frame, 0, 255);
    return frame;
}

void BM_FrameCopy(benchmark::State& state)
{
    const cv::Mat frame = RandomFrame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    cv::Mat copy(frame.size(), frame.type());
    for (auto _ : state) {
        frame.copyTo(copy);
        benchmark::DoNotOptimize(copy.data);
    }
}

// range(2): display size in quarters of the picture size (4 full, 3 three quarters, 2 half).
void BM_Present(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    const int quarters = static_cast<int>(state.range(2));
    const cv::Mat frame = RandomFrame(w, h);
    const QSize display(w * quarters / 4, h * quarters / 4);
    QImage picture;
    DisplayBuffers buffers;
    for (auto _ : state) {
        FillPictureFromFrame(frame, picture);
        QImage shown = buffers.Stretch(picture, display);
        benchmark::DoNotOptimize(shown.constBits());
    }
}

// The picture fitted to a window: a shrink by a factor that is no simple fraction. range(2),
// range(3): the display size; range(4): 1 to go through OpenCV's general area path instead, for
// comparison.
void BM_PresentFitted(benchmark::State& state)
{
    const cv::Mat frame = RandomFrame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const QSize display(static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    const bool openCv = state.range(4) != 0;
    QImage picture;
    DisplayBuffers buffers;
    cv::Mat theirs(display.height(), display.width(), CV_8UC4);
    for (auto _ : state) {
        FillPictureFromFrame(frame, picture);
        if (openCv) {
            const cv::Mat source(picture.height(), picture.width(), CV_8UC4, picture.bits(),
                static_cast<size_t>(picture.bytesPerLine()));
            cv::resize(source, theirs, theirs.size(), 0, 0, cv::INTER_AREA);
            benchmark::DoNotOptimize(theirs.data);
        } else {
            QImage shown = buffers.Stretch(picture, display);
            benchmark::DoNotOptimize(shown.constBits());
        }
    }
}

} // namespace

BENCHMARK(BM_PresentFitted)->ArgsProduct({ { 1920 }, { 1080 }, { 1161 }, { 653 }, { 0, 1 } })->ArgsProduct({ { 640 }, { 480 }, { 500 }, { 375 }, { 0, 1 } });
BENCHMARK(BM_FrameCopy)->Args({ 640, 480 })->Args({ 1920, 1080 });
BENCHMARK(BM_Present)
    ->Args({ 640, 480, 4 })
    ->Args({ 640, 480, 3 })
    ->Args({ 640, 480, 2 })
    ->Args({ 1920, 1080, 4 })
    ->Args({ 1920, 1080, 3 })
    ->Args({ 1920, 1080, 2 });
int main(int argc, char** argv)
{
    cv::setNumThreads(1); // one core's figures
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
