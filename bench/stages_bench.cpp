// Cost of each picture stage and of the worst-case frame, as multiples of one plain frame copy
// measured in the same run. One thread: cv::setNumThreads(1); CPU time, so that other work on
// the machine does not count.
#include "BenchFixtures.h"

#include "pipeline/capture/MjpegDecoder.h"
#include "pipeline/compose/DisplayConversion.h"
#include "pipeline/stages/ZoomCut.h"
#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/compose/OverlayStore.h"
#include "pipeline/compose/Overlays.h"
#include "pipeline/compose/Present.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/FunEffect.h"
#include "pipeline/stages/FunPreviewGrid.h"
#include "pipeline/stages/GrainRandom.h"
#include "pipeline/stages/WideKernels.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/stages/ProcessFrame.h"
#include "pipeline/stages/RegionSelect.h"
#include "pipeline/capture/BoothSceneSource.h"
#include "pipeline/capture/TestSceneSource.h"
#include "pipeline/stages/Backdrop.h"
#include "pipeline/stages/BackgroundModel.h"
#include "pipeline/stages/ColourKey.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>


#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using bench::PaintSomeStrokes;
using bench::Textured;

cv::Size SizeOf(const benchmark::State& state)
{
    return { static_cast<int>(state.range(0)), static_cast<int>(state.range(1)) };
}

// The test scene at the wanted size.
cv::Mat Scene(cv::Size size, int n = 0)
{
    cv::Mat scene = TestSceneSource::Render(n);
    if (scene.size() != size)
        cv::resize(scene, scene, size, 0, 0, cv::INTER_LINEAR);
    return scene;
}

// Runs a stage on a fresh copy of the scene each iteration. The copy is timed with it (pausing the
// timer costs more than a small copy) and taken off in the table.
template <class Stage>
void RunOnScene(benchmark::State& state, Stage stage)
{
    const cv::Mat scene = Scene(SizeOf(state));
    cv::Mat frame = scene.clone();
    for (auto _ : state) {
        scene.copyTo(frame);
        stage(frame);
        benchmark::DoNotOptimize(frame.data);
        benchmark::ClobberMemory();
    }
}

void Copy(benchmark::State& state)
{
    const cv::Mat scene = Scene(SizeOf(state));
    cv::Mat frame = scene.clone();
    for (auto _ : state) {
        scene.copyTo(frame);
        benchmark::DoNotOptimize(frame.data);
        benchmark::ClobberMemory();
    }
}

// A camera's Motion-JPEG frame of the scene (quality 85, as webcams send) decoded to BGR: by the
// program's decoder (libjpeg-turbo straight to BGR), and by OpenCV's imdecode for comparison.
std::vector<std::uint8_t> SceneJpeg(cv::Size size)
{
    std::vector<std::uint8_t> data;
    cv::imencode(".jpg", Scene(size), data, { cv::IMWRITE_JPEG_QUALITY, 85 });
    return data;
}

void MjpegDecode(benchmark::State& state)
{
    const std::vector<std::uint8_t> data = SceneJpeg(SizeOf(state));
    MjpegDecoder decoder;
    cv::Mat frame;
    for (auto _ : state) {
        if (!decoder.Decode(data.data(), data.size(), frame))
            state.SkipWithError("not decoded");
        benchmark::DoNotOptimize(frame.data);
    }
}

void MjpegDecodeOpenCv(benchmark::State& state)
{
    const std::vector<std::uint8_t> data = SceneJpeg(SizeOf(state));
    cv::Mat frame;
    for (auto _ : state) {
        frame = cv::imdecode(data, cv::IMREAD_COLOR);
        benchmark::DoNotOptimize(frame.data);
    }
}

void Flip(benchmark::State& state)
{
    RunOnScene(state, [](cv::Mat& f) { ApplyFlip(f, kFlipMirror); });
}

template <int Model>
void Adjust(benchmark::State& state)
{
    ChannelSliders sliders;
    sliders.brightness = { 120, 140, 90 };
    sliders.contrast = { 110, 80, 130 };
    RunOnScene(state, [&](cv::Mat& f) { AdjustChannels(f, Model, sliders); });
}

void BlackWhite(benchmark::State& state) { RunOnScene(state, [](cv::Mat& f) { ApplyBlackWhite(f); }); }
void Negative(benchmark::State& state) { RunOnScene(state, [](cv::Mat& f) { ApplyNegative(f); }); }
void Sketch(benchmark::State& state) { RunOnScene(state, [](cv::Mat& f) { ApplySketch(f); }); }
void FineOutline(benchmark::State& state) { RunOnScene(state, [](cv::Mat& f) { ApplyFineOutline(f); }); }
void Erode(benchmark::State& state)
{
    RunOnScene(state, [](cv::Mat& f) { ApplyErode(f); });
}

void Grain(benchmark::State& state)
{
    GrainRandom random;
    RunOnScene(state, [&](cv::Mat& f) { ApplyGrain(f, random); });
}

// The straightforward grain: planes, the C library's rand() and the formula per sample.
void GrainPerSample(benchmark::State& state)
{
    RunOnScene(state, bench::PerSampleGrain);
}

// The HSV adjustment as it was before the one-pass form: strips of rows converted, looked up and
// converted back with OpenCV, one strip at a time on one thread.
void AdjustHSVBefore(benchmark::State& state)
{
    cv::Mat lut(1, 256, CV_8UC3);
    for (int v = 0; v < 256; ++v)
        lut.at<cv::Vec3b>(v) = cv::Vec3b(static_cast<uchar>(v), BuildChannelTable(140, 80)[v], BuildChannelTable(90, 130)[v]);
    RunOnScene(state, [&](cv::Mat& f) {
        const int stripRows = std::max(1, 32 * 1024 / (f.cols * 3));
        cv::Mat converted;
        for (int y = 0; y < f.rows; y += stripRows) {
            cv::Mat rows = f.rowRange(y, std::min(f.rows, y + stripRows));
            cv::cvtColor(rows, converted, cv::COLOR_BGR2HSV);
            cv::LUT(converted, lut, converted);
            cv::cvtColor(converted, rows, cv::COLOR_HSV2BGR);
        }
    });
}

// The adjustment as it was before the strips: the whole frame converted, looked up and converted
// back in three passes.
void AdjustHSVWholeFrame(benchmark::State& state)
{
    ChannelSliders sliders;
    sliders.brightness = { 120, 140, 90 };
    sliders.contrast = { 110, 80, 130 };
    cv::Mat lut(1, 256, CV_8UC3);
    for (int v = 0; v < 256; ++v)
        lut.at<cv::Vec3b>(v) = cv::Vec3b(static_cast<uchar>(v), BuildChannelTable(140, 80)[v], BuildChannelTable(90, 130)[v]);
    RunOnScene(state, [&](cv::Mat& f) {
        cv::Mat converted;
        cv::cvtColor(f, converted, cv::COLOR_BGR2HSV);
        cv::LUT(converted, lut, converted);
        cv::cvtColor(converted, f, cv::COLOR_HSV2BGR);
    });
}

// The grain's noise alone: the frame's random levels.
void GrainNoise(benchmark::State& state)
{
    const cv::Size size = SizeOf(state);
    GrainRandom random;
    std::vector<uchar> levels(static_cast<std::size_t>(size.area()));
    for (auto _ : state) {
        random.FillLevels(levels.data(), static_cast<int>(levels.size()));
        benchmark::DoNotOptimize(levels.data());
    }
}

// The same levels a row of values at a time, each taken modulo 21 on its own.
void GrainNoisePerValue(benchmark::State& state)
{
    const cv::Size size = SizeOf(state);
    GrainRandom random;
    std::vector<int> noise(size.width);
    std::vector<uchar> levels(static_cast<std::size_t>(size.area()));
    for (auto _ : state) {
        for (int y = 0; y < size.height; ++y) {
            random.Fill(noise.data(), size.width);
            uchar* level = levels.data() + static_cast<std::size_t>(y) * size.width;
            for (int x = 0; x < size.width; ++x)
                level[x] = static_cast<uchar>(static_cast<unsigned>(noise[x]) % 21u);
        }
        benchmark::DoNotOptimize(levels.data());
    }
}

// A face a third of the picture high, moving a little every frame, as the tracker gives it.
FunFace MovingFace(cv::Size size, int n)
{
    const float step = static_cast<float>(n % 16) - 8;
    return FunFace({ size.width / 2.0f + 3 * step, size.height * 0.4f - 2 * step }, size.height / 3.0f);
}

// A fun effect, its maps kept from frame to frame as the chain keeps them: built once before the
// clock starts (the library runs each benchmark a few times over, each with a new state).
template <FunEffect Effect>
void Fun(benchmark::State& state)
{
    FunEffectState fun;
    int n = 0;
    const cv::Size size = SizeOf(state);
    cv::Mat warm = Scene(size);
    ApplyFunEffect(warm, Effect, fun, MovingFace(size, n), n);
    RunOnScene(state, [&](cv::Mat& f) {
        ++n;
        ApplyFunEffect(f, Effect, fun, MovingFace(size, n), n);
    });
}

// The nine previews of the first page (the remap lenses among them) on a grid the picture's size.
void FunGrid(benchmark::State& state)
{
    const cv::Size size = SizeOf(state);
    const cv::Mat scene = Scene(size);
    FunPreviewGrid grid;
    int n = 0;
    grid.Render(scene, size, FunPreviewPage(0), MovingFace(size, n), n); // its maps, as above
    for (auto _ : state) {
        ++n;
        const FunPreview& preview = grid.Render(scene, size, FunPreviewPage(0), MovingFace(size, n), n);
        benchmark::DoNotOptimize(preview.image.data);
        benchmark::ClobberMemory();
    }
}

void ZoomCut(benchmark::State& state)
{
    const cv::Size size = SizeOf(state);
    const cv::Mat raw = Scene(size);
    cv::Mat work(size, CV_8UC3);
    const cv::Rect zoom(size.width / 4, size.height / 4, size.width / 3, size.height / 3);
    for (auto _ : state) {
        TakeWorkFrame(raw, work, zoom);
        benchmark::DoNotOptimize(work.data);
    }
}

// The camera's frame taken mirrored, as every frame is at the start.
void TakeMirrored(benchmark::State& state)
{
    const cv::Size size = SizeOf(state);
    const cv::Mat raw = Scene(size);
    cv::Mat work(size, CV_8UC3);
    for (auto _ : state) {
        TakeWorkFrame(raw, work, std::nullopt, kFlipMirror);
        benchmark::DoNotOptimize(work.data);
    }
}

void Doodle(benchmark::State& state)
{
    DoodleLayer doodle;
    PaintSomeStrokes(doodle, SizeOf(state));
    RunOnScene(state, [&](cv::Mat& f) { doodle.Overlay(f); });
}

void DoodleUncached(benchmark::State& state)
{
    DoodleLayer doodle;
    PaintSomeStrokes(doodle, SizeOf(state));
    const cv::Mat canvas = doodle.Canvas();
    RunOnScene(state, [&](cv::Mat& f) { OverlayDoodle(f, canvas); });
}

// Tracking 500 dots over a picture that moves by a pixel or two back and forth.
void Flow(benchmark::State& state)
{
    const cv::Size size = SizeOf(state);
    const cv::Mat frames[2] = { Textured(size, 0), Textured(size, 2) };
    FlowState flow;
    flow.RequestDetection();
    cv::Mat frame = frames[0].clone();
    TrackFlow(frame, flow);
    int n = 0;
    for (auto _ : state) {
        frames[++n & 1].copyTo(frame);
        TrackFlow(frame, flow);
    }
    state.counters["dots"] = flow.PointCount();
}

// Take the frame, flip, HSV adjustment, grain, flow with 500 dots, doodle.
class WorstCaseStages {
public:
    explicit WorstCaseStages(cv::Size size)
        : frames_ { Textured(size, 0), Textured(size, 2) }
        , work_(size, CV_8UC3)
    {
        settings_.channelsDefault = false;
        settings_.colourModel = kColourHsv;
        settings_.sliders.brightness = { 100, 130, 110 };
        settings_.effectStyle = kEffectGrain;
        settings_.flowOn = true;
        settings_.doodleShown = true;
        PaintSomeStrokes(doodle_, size);
    }

    // One frame through the stages; the result is in work().
    void Run(benchmark::State& state)
    {
        if (flow_.PointCount() < FlowState::kMostPoints * 9 / 10) {
            // Dots are found afresh, off the clock, whenever many were lost.
            state.PauseTiming();
            flow_.RequestDetection();
            TakeAndProcessFrame(frames_[n_ & 1], work_, std::nullopt, settings_, flow_, doodle_, random_);
            state.ResumeTiming();
        }
        TakeAndProcessFrame(frames_[++n_ & 1], work_, std::nullopt, settings_, flow_, doodle_, random_);
    }

    const cv::Mat& work() const { return work_; }
    int dots() const { return flow_.PointCount(); }

private:
    cv::Mat frames_[2];
    cv::Mat work_;
    PictureSettings settings_;
    FlowState flow_;
    DoodleLayer doodle_;
    GrainRandom random_;
    int n_ = 0;
};

void WorstCaseFrame(benchmark::State& state)
{
    WorstCaseStages stages(SizeOf(state));
    for (auto _ : state) {
        stages.Run(state);
        benchmark::DoNotOptimize(stages.work().data);
    }
    state.counters["dots"] = stages.dots();
}

// What the worker does for one frame with everything on: the worst-case stages, then the logo, a
// transparent 640 × 480 frame stretched over the picture and 10 add-ons, then the stretch to a
// three-quarter display.
void WholeFrame(benchmark::State& state)
{
    const cv::Size size = SizeOf(state);
    const bench::DecorationFiles files;
    OverlayStore decorations(files.logo);
    decorations.SetFrameImage(files.frame, 1);
    for (int i = 0; i < 10; ++i)
        decorations.AddAddOn(files.sticker, 1, size.width, size.height);

    WorstCaseStages stages(size);
    QImage picture;
    DisplayBuffers buffers;
    const QSize display(size.width * 3 / 4, size.height * 3 / 4);
    for (auto _ : state) {
        stages.Run(state);
        FillPictureFromFrame(stages.work(), picture);
        decorations.DrawOverlays(picture);
        QImage shown = buffers.Stretch(picture, display);
        benchmark::DoNotOptimize(shown.constBits());
    }
    state.counters["dots"] = stages.dots();
}

// The backdrop stages on the booth scenes, with the person in and one arm waving: two frames in
// turn, each copied (the copy is taken off in the table) and then worked on.
class BoothFrames {
public:
    BoothFrames(BoothScene scene, cv::Size size)
        : frames_ { BoothSceneSource::Render(scene, 150, size), BoothSceneSource::Render(scene, 160, size) }
        , frame_(size, CV_8UC3)
        , backdrop_(TestSceneSource::Render(0, size))
    {
    }
    cv::Mat& Next()
    {
        frames_[++n_ & 1].copyTo(frame_);
        return frame_;
    }
    const cv::Mat& backdrop() const { return backdrop_; }

private:
    cv::Mat frames_[2];
    cv::Mat frame_;
    cv::Mat backdrop_;
    int n_ = 0;
};

BackgroundModel LearntRoom(cv::Size size)
{
    BackgroundModel model;
    for (int n = 0; n < 30; ++n)
        model.Learn(BoothSceneSource::Render(BoothScene::Room, n, size));
    return model;
}

// Segment (reduced-size model, refined edges at full size) only.
void BackdropSegment(benchmark::State& state)
{
    BackgroundModel model = LearntRoom(SizeOf(state));
    BoothFrames frames(BoothScene::Room, SizeOf(state));
    cv::Mat alpha;
    for (auto _ : state) {
        model.Segment(frames.Next(), alpha);
        benchmark::DoNotOptimize(alpha.data);
    }
}

// The whole backdrop stage: segment, refine, composite over a picture.
void BackdropStage(benchmark::State& state)
{
    BackgroundModel model = LearntRoom(SizeOf(state));
    BoothFrames frames(BoothScene::Room, SizeOf(state));
    cv::Mat alpha;
    for (auto _ : state) {
        cv::Mat& frame = frames.Next();
        model.Segment(frame, alpha);
        Composite(frame, alpha, frames.backdrop());
        benchmark::DoNotOptimize(frame.data);
    }
}

// The colour key and the composite with the green held back.
void GreenStage(benchmark::State& state)
{
    BoothFrames frames(BoothScene::GreenCloth, SizeOf(state));
    cv::Mat alpha;
    for (auto _ : state) {
        cv::Mat& frame = frames.Next();
        ColourKeyAlpha(frame, BoothSceneSource::ClothColour(), 50, alpha);
        Composite(frame, alpha, frames.backdrop(), BoothSceneSource::ClothColour());
        benchmark::DoNotOptimize(frame.data);
    }
}

// The blurred room at full strength around the person.
void BlurredRoom(benchmark::State& state)
{
    BackgroundModel model = LearntRoom(SizeOf(state));
    BoothFrames frames(BoothScene::Room, SizeOf(state));
    cv::Mat alpha;
    model.Segment(frames.Next(), alpha);
    for (auto _ : state) {
        BlurBackground(frames.Next(), alpha, 100);
        benchmark::DoNotOptimize(alpha.data);
    }
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Args({ 640, 480 })->Args({ 1920, 1080 })->Unit(benchmark::kMillisecond);
}

// A width off OpenCV's vector blocks, for the HSV adjustment whose row ends take another path.
void RaggedSizes(benchmark::internal::Benchmark* b)
{
    Sizes(b);
    b->Args({ 1366, 768 });
}

// A benchmark run with the baseline (SSE2) kernels, on a CPU that would choose the AVX2 ones.
template <void (*Run)(benchmark::State&)>
void WithBaselineKernels(benchmark::State& state)
{
    const bool wide = WideKernelsOn();
    SetWideKernels(false);
    Run(state);
    SetWideKernels(wide);
}

BENCHMARK(Copy)->Apply(RaggedSizes);
BENCHMARK(MjpegDecode)->Apply(Sizes);
BENCHMARK(MjpegDecodeOpenCv)->Apply(Sizes);
BENCHMARK(ZoomCut)->Apply(Sizes);
BENCHMARK(TakeMirrored)->Apply(Sizes);
BENCHMARK(WithBaselineKernels<TakeMirrored>)->Name("TakeMirroredBaseline")->Apply(Sizes);
BENCHMARK(Flip)->Apply(Sizes);
BENCHMARK(Adjust<kColourRgb>)->Name("AdjustRGB")->Apply(Sizes);
BENCHMARK(Adjust<kColourHsv>)->Name("AdjustHSV")->Apply(RaggedSizes);
BENCHMARK(WithBaselineKernels<Adjust<kColourHsv>>)->Name("AdjustHSVBaseline")->Apply(RaggedSizes);
BENCHMARK(AdjustHSVBefore)->Apply(RaggedSizes);
BENCHMARK(AdjustHSVWholeFrame)->Apply(Sizes);
BENCHMARK(Adjust<kColourHls>)->Name("AdjustHLS")->Apply(Sizes);
BENCHMARK(Adjust<kColourYCrCb>)->Name("AdjustYCrCb")->Apply(Sizes);
BENCHMARK(BlackWhite)->Apply(Sizes);
BENCHMARK(Negative)->Apply(Sizes);
BENCHMARK(Sketch)->Apply(Sizes);
BENCHMARK(FineOutline)->Apply(Sizes);
BENCHMARK(Erode)->Apply(Sizes);
BENCHMARK(Grain)->Apply(Sizes);
BENCHMARK(WithBaselineKernels<Grain>)->Name("GrainBaseline")->Apply(Sizes);
BENCHMARK(GrainPerSample)->Apply(Sizes);
BENCHMARK(GrainNoise)->Apply(Sizes);
BENCHMARK(GrainNoisePerValue)->Apply(Sizes);
BENCHMARK(Fun<kFunBulge>)->Name("FunBulge")->Apply(Sizes);
BENCHMARK(Fun<kFunPinch>)->Name("FunPinch")->Apply(Sizes);
BENCHMARK(Fun<kFunTwirl>)->Name("FunTwirl")->Apply(Sizes);
BENCHMARK(Fun<kFunStretch>)->Name("FunStretch")->Apply(Sizes);
BENCHMARK(Fun<kFunSqueeze>)->Name("FunSqueeze")->Apply(Sizes);
BENCHMARK(Fun<kFunFishEye>)->Name("FunFishEye")->Apply(Sizes);
BENCHMARK(Fun<kFunMirror>)->Name("FunMirror")->Apply(Sizes);
BENCHMARK(Fun<kFunKaleidoscope>)->Name("FunKaleidoscope")->Apply(Sizes);
BENCHMARK(Fun<kFunLightTunnel>)->Name("FunLightTunnel")->Apply(Sizes);
BENCHMARK(Fun<kFunBigHead>)->Name("FunBigHead")->Apply(Sizes);
BENCHMARK(Fun<kFunThinFace>)->Name("FunThinFace")->Apply(Sizes);
BENCHMARK(Fun<kFunThermal>)->Name("FunThermal")->Apply(Sizes);
BENCHMARK(Fun<kFunXRay>)->Name("FunXRay")->Apply(Sizes);
BENCHMARK(Fun<kFunComic>)->Name("FunComic")->Apply(Sizes);
BENCHMARK(Fun<kFunPop>)->Name("FunPop")->Apply(Sizes);
BENCHMARK(Fun<kFunMosaic>)->Name("FunMosaic")->Apply(Sizes);
BENCHMARK(Fun<kFunOldFilm>)->Name("FunOldFilm")->Apply(Sizes);
BENCHMARK(FunGrid)->Apply(Sizes);
BENCHMARK(Doodle)->Apply(Sizes);
BENCHMARK(DoodleUncached)->Apply(Sizes);
BENCHMARK(Flow)->Apply(Sizes);
BENCHMARK(WorstCaseFrame)->Apply(Sizes);
BENCHMARK(WholeFrame)->Apply(Sizes);
BENCHMARK(WithBaselineKernels<WholeFrame>)->Name("WholeFrameBaseline")->Apply(Sizes);
BENCHMARK(BackdropSegment)->Apply(Sizes);
BENCHMARK(BackdropStage)->Apply(Sizes);
BENCHMARK(GreenStage)->Apply(Sizes);
BENCHMARK(BlurredRoom)->Apply(Sizes);

// Prints, after the usual output, each result as a multiple of the copy of its size. Stages run
// on a fresh copy have that copy taken off; the zoom cut, the whole frame and the preview grid
// include taking the frame.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            rows_.push_back({ name.substr(0, slash), name.substr(slash + 1), seconds });
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::map<std::string, double> copy;
        for (const Row& r : rows_)
            if (r.stage == "Copy")
                copy[r.size] = r.seconds;
        std::printf("\n%-16s %-10s %10s %10s\n", "stage", "size", "ms", "x copy");
        for (const Row& r : rows_) {
            const bool whole = r.stage == "Copy" || r.stage == "MjpegDecode" || r.stage == "MjpegDecodeOpenCv" || r.stage == "ZoomCut" || r.stage == "TakeMirrored" || r.stage == "TakeMirroredBaseline" || r.stage == "WorstCaseFrame" || r.stage == "GrainNoise" || r.stage == "GrainNoisePerValue"
                || r.stage == "FunGrid";
            const double base = copy[r.size];
            const double own = whole ? r.seconds : r.seconds - base;
            std::printf("%-16s %-10s %10.3f %10.1f\n", r.stage.c_str(), r.size.c_str(), own * 1e3,
                base > 0 ? own / base : 0.0);
        }
    }

private:
    struct Row {
        std::string stage;
        std::string size;
        double seconds;
    };
    std::vector<Row> rows_;
};

} // namespace

int main(int argc, char** argv)
{
    cv::setNumThreads(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
