// Costs of filling the photos strip from a large folder and of painting a strip.
// Every figure is also given as a ratio to one plain copy of a 640 × 480 frame measured here.
#include "decorations/FillStrip.h"
#include "decorations/FolderScan.h"
#include "decorations/Photostrip.h"
#include "decorations/PhotoThumbnail.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

constexpr int kPhotoCount = 1000;
constexpr int kStripWidth = 300;
constexpr int kStripHeight = 280; // the photos strip of a 700 high pane

using Clock = std::chrono::steady_clock;

long PeakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double CopyNs()
{
    static const double ns = [] {
        cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(10, 20, 30)), dst;
        frame.copyTo(dst);
        const auto start = Clock::now();
        constexpr int n = 2000;
        for (int i = 0; i < n; ++i) {
            frame.copyTo(dst);
            benchmark::DoNotOptimize(dst.data);
        }
        return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / n;
    }();
    return ns;
}

// 1000 camera-sized photos with some detail, made once.
const QString& PhotoFolder()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        QImage image(640, 480, QImage::Format_RGB32);
        for (int i = 0; i < kPhotoCount; ++i) {
            for (int y = 0; y < 480; ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < 640; ++x)
                    line[x] = qRgb((x + i) & 0xFF, (y * 3 + i) & 0xFF, ((x ^ y) + i * 7) & 0xFF);
            }
            image.save(dir.filePath(QStringLiteral("%1.jpg").arg(i, 4, 10, QLatin1Char('0'))), "JPG");
        }
        return true;
    }();
    (void)made;
    static const QString path = dir.path();
    return path;
}

void Report(benchmark::State& state, double totalNs)
{
    const double perIteration = totalNs / static_cast<double>(state.iterations());
    state.counters["x_copy"] = perIteration / CopyNs();
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakRssKiB()) / 1024.0;
}

void BM_FrameCopy(benchmark::State& state)
{
    cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(10, 20, 30)), dst;
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        frame.copyTo(dst);
        benchmark::DoNotOptimize(dst.data);
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
    }
    Report(state, total);
}

// A first fill: every photo decoded (a fresh strip has nothing to reuse).
void BM_FillStrip1000Photos(benchmark::State& state)
{
    const auto folder = QStringToPath(PhotoFolder());
    double total = 0;
    for (auto _ : state) {
        Photostrip strip(nullptr, kStripWidth, kStripHeight, 0, StripPlacement::Bottom,
                         StripContent::Photos, kPhotoStripKind);
        const auto start = Clock::now();
        FillStripStats stats;
        FillStrip(strip, folder, &stats);
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
        if (stats.shown != kPhotoCount)
            state.SkipWithError("not every photo became a thumbnail");
    }
    Report(state, total);
}

// What the interface thread itself spends on a first fill whose decoding runs on a worker:
// the scan before and the placing of the thumbnails after.
void BM_FillInterfaceShare(benchmark::State& state)
{
    const auto folder = QStringToPath(PhotoFolder());
    double total = 0;
    for (auto _ : state) {
        Photostrip strip(nullptr, kStripWidth, kStripHeight, 0, StripPlacement::Bottom,
                         StripContent::Photos, kPhotoStripKind);
        auto start = Clock::now();
        StripFillPlan plan = PlanStripFill(strip, folder, strip.kind());
        double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        DecodeStripFill(plan);
        start = Clock::now();
        ApplyStripFill(strip, std::move(plan));
        ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
    }
    Report(state, total);
}

// The reload after a new photo: everything but the new file is reused.
void BM_ReloadAfterOnePhoto(benchmark::State& state)
{
    const auto folder = QStringToPath(PhotoFolder());
    Photostrip strip(nullptr, kStripWidth, kStripHeight, 0, StripPlacement::Bottom,
                     StripContent::Photos, kPhotoStripKind);
    FillStrip(strip, folder);
    const QString extra = QDir(PhotoFolder()).filePath(QStringLiteral("zzzz.jpg"));
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(extra);
        FillStrip(strip, folder);
        photo.save(extra, "JPG");
        state.ResumeTiming();
        const auto start = Clock::now();
        FillStrip(strip, folder);
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
    }
    QFile::remove(extra);
    Report(state, total);
}

// Decoding alone with a given number of threads.
void BM_DecodeThumbnails(benchmark::State& state)
{
    std::vector<QString> paths;
    for (const QString& name : QDir(PhotoFolder()).entryList({"*.jpg"}, QDir::Files, QDir::Name))
        paths.push_back(QDir(PhotoFolder()).filePath(name));
    paths.resize(200);
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        auto thumbs = LoadPhotoThumbnails(paths, 0.75f * kStripHeight,
                                          static_cast<unsigned>(state.range(0)));
        benchmark::DoNotOptimize(thumbs.data());
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(paths.size()));
    Report(state, total);
}

// Painting a strip full of thumbnails: range(0) is 1 for a fractional scroll position.
void BM_PaintStrip(benchmark::State& state)
{
    const auto folder = QStringToPath(PhotoFolder());
    Photostrip strip(nullptr, kStripWidth, kStripHeight, 0, StripPlacement::Bottom,
                     StripContent::Photos, kPhotoStripKind);
    FillStrip(strip, folder);
    if (state.range(0) == 1)
        strip.ManipulationDelta(-0.5f, 0.0f);
    QImage canvas(kStripWidth, kStripHeight, QImage::Format_ARGB32_Premultiplied);
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        QPainter painter(&canvas);
        strip.Paint(painter);
        painter.end();
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
    }
    Report(state, total);
}

} // namespace

BENCHMARK(BM_FrameCopy)->UseManualTime();
BENCHMARK(BM_FillStrip1000Photos)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillInterfaceShare)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ReloadAfterOnePhoto)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DecodeThumbnails)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PaintStrip)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    PhotoFolder();
    std::printf("peak RSS after making the photos: %.1f MiB\n", PeakRssKiB() / 1024.0);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("peak RSS at the end: %.1f MiB\n", PeakRssKiB() / 1024.0);
    return 0;
}
