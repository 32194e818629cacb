// Costs of filling the photos strip from a large folder and of painting a strip.
// Every figure is also given as a ratio to one plain copy of a 640 × 480 frame measured here;
// the strip of 10,000 photos also as a ratio to one thumbnail decode measured in the same run.
#include "BenchFixtures.h"

#include "decorations/CFrameView.h"
#include "decorations/FillStrip.h"
#include "decorations/FolderScan.h"
#include "decorations/Photostrip.h"
#include "decorations/PhotoThumbnail.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

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

constexpr int kLargeCount = 10000;

// Resident memory now (not the peak), as the system sees the whole program.
double VmRssMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0.0;
}

// 10,000 camera-sized photos, small JPEGs, made once into a folder kept between runs.
const QString& LargePhotoFolder()
{
    static const QString path = [] {
        const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("parvel-strip-bench-10000"));
        const QString marker = QDir(folder).filePath(QStringLiteral("complete.txt"));
        if (!QFile::exists(marker)) {
            QDir().mkpath(folder);
            QImage image(640, 480, QImage::Format_RGB32);
            for (int i = 0; i < kLargeCount; ++i) {
                for (int y = 0; y < 480; ++y) {
                    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                    for (int x = 0; x < 640; ++x)
                        line[x] = qRgb((x / 8 + i) & 0xFF, (y / 8 + i * 3) & 0xFF, (i * 7) & 0xFF);
                }
                image.save(QDir(folder).filePath(QStringLiteral("%1.jpg").arg(i, 5, 10, QLatin1Char('0'))),
                           "JPG", 60);
            }
            QFile done(marker);
            done.open(QIODevice::WriteOnly);
        }
        return folder;
    }();
    return path;
}

double g_decodeNs = 0.0; // one thumbnail decode, measured first

bool InViewReady(const Photostrip& strip)
{
    for (const auto& photo : strip.thumbnails())
        if (photo->x() + photo->width() > 0 && photo->x() < strip.stripWidth() &&
            photo->bitmap().isNull())
            return false;
    return true;
}

// Handles events until the condition holds; the time it took in milliseconds, or -1.
double SpinUntil(const std::function<bool()>& condition, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return -1.0;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

ContactRecord Contact(uint32_t flags, int x, int y, uint32_t time)
{
    ContactRecord c;
    c.identifier = 1;
    c.flags = flags;
    c.x = x;
    c.y = y;
    c.time = time;
    return c;
}

std::unique_ptr<Photostrip> OnDemandPhotoStrip()
{
    auto strip = std::make_unique<Photostrip>(nullptr, kStripWidth, kStripHeight, 0,
                                              StripPlacement::Bottom, StripContent::Photos,
                                              kPhotoStripKind);
    strip->SetLoadOnDemand(true);
    return strip;
}

// The fill the pane makes: the scan and the headers (on a worker there), then the layout.
double FillFromHeaders(Photostrip& strip, const std::filesystem::path& folder)
{
    const auto start = Clock::now();
    StripFillPlan plan = PlanStripFill(strip, folder, strip.kind());
    DecodeStripFill(plan);
    ApplyStripFill(strip, std::move(plan));
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(benchmark::State& state, double totalNs)
{
    const double perIteration = totalNs / static_cast<double>(state.iterations());
    state.counters["x_copy"] = perIteration / bench::CopyNs(640, 480);
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

// The yardstick of the 10,000: one photo made into a thumbnail.
void BM_OneThumbnailDecode(benchmark::State& state)
{
    const QString photo = QDir(LargePhotoFolder()).filePath(QStringLiteral("00000.jpg"));
    double total = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        auto thumb = LoadPhotoThumbnail(photo, 0.75f * kStripHeight);
        benchmark::DoNotOptimize(thumb);
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
    }
    g_decodeNs = total / static_cast<double>(state.iterations());
    Report(state, total);
}

// A first fill of 10,000 photos until the thumbnails in view are shown.
void BM_FirstThumbnails10000(benchmark::State& state)
{
    const auto folder = QStringToPath(LargePhotoFolder());
    const double rssBefore = VmRssMiB();
    double total = 0, layout = 0, rss = 0;
    for (auto _ : state) {
        auto strip = OnDemandPhotoStrip();
        const auto start = Clock::now();
        layout += FillFromHeaders(*strip, folder);
        if (strip->thumbnails().size() != static_cast<size_t>(kLargeCount))
            state.SkipWithError("not every photo was laid out");
        if (SpinUntil([&] { return InViewReady(*strip); }) < 0)
            state.SkipWithError("thumbnails in view never came");
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
        rss = VmRssMiB();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["layout_ms"] = layout / n;
    state.counters["x_decode"] = total / n / g_decodeNs;
    state.counters["vmrss_before_MiB"] = rssBefore;
    state.counters["vmrss_MiB"] = rss;
    Report(state, total);
}

// The side pane itself on a photo folder of 10,000: the start of the row is shown while the
// rest of the headers are read on a worker.
void BM_PaneFirstThumbnails10000(benchmark::State& state)
{
    RecordingMessageBoxes boxes; // the empty frames and add-ons folders are reported
    ScopedMessageBoxes installBoxes{boxes};
    QTemporaryDir empty;
    const PaneFolders folders{QStringToPath(empty.path()), QStringToPath(empty.path()),
                              QStringToPath(LargePhotoFolder())};
    double total = 0, whole = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        CFrameView pane(folders);
        pane.resize(kStripWidth, 700); // a photos strip 280 high
        pane.show();
        Photostrip* photos = pane.photoStrip();
        if (SpinUntil([&] { return photos && !photos->thumbnails().empty() && InViewReady(*photos); }) < 0)
            state.SkipWithError("thumbnails in view never came");
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        SpinUntil([&] { return photos->thumbnails().size() == static_cast<size_t>(kLargeCount); });
        whole += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
        pane.WaitForLoads();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["whole_row_ms"] = whole / n;
    state.counters["x_decode"] = total / n / g_decodeNs;
    state.counters["vmrss_MiB"] = VmRssMiB();
    Report(state, total);
}

// Jumps across the whole strip of 10,000, waiting at each stop for the thumbnails in view:
// the cache fills to its bound and the program's resident memory stays within it.
void BM_ScrollAcross10000(benchmark::State& state)
{
    const auto folder = QStringToPath(LargePhotoFolder());
    constexpr int kStops = 300;
    double total = 0, worst = 0;
    for (auto _ : state) {
        auto strip = OnDemandPhotoStrip();
        FillFromHeaders(*strip, folder);
        SpinUntil([&] { return InViewReady(*strip); });
        const float jump = -strip->ThumbnailsExtent() / kStops;
        const auto start = Clock::now();
        for (int i = 0; i < kStops; ++i) {
            strip->ManipulationDelta(jump, 0.0f);
            worst = std::max(worst, SpinUntil([&] { return InViewReady(*strip); }));
        }
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
        state.counters["cache_MiB"] = static_cast<double>(strip->decodedThumbnails().bytes()) / (1 << 20);
        state.counters["vmrss_MiB"] = VmRssMiB();
    }
    state.counters["worst_stop_ms"] = worst;
    state.counters["worst_stop_x_decode"] = worst * 1e6 / g_decodeNs;
    Report(state, total);
}

// Flings across the strip of 10,000 with the strip's own timers: how long thumbnails at the
// resting place are still placeholders once the row has stopped.
void BM_Fling10000(benchmark::State& state)
{
    const auto folder = QStringToPath(LargePhotoFolder());
    double total = 0, worst = 0, sum = 0;
    int flings = 0;
    for (auto _ : state) {
        auto strip = OnDemandPhotoStrip();
        FillFromHeaders(*strip, folder);
        SpinUntil([&] { return InViewReady(*strip); });
        uint32_t t = 1000;
        const auto start = Clock::now();
        // Swipes of 2 to 8 pixels per millisecond, mostly onwards, now and then back.
        for (int i = 0; i < 12; ++i) {
            const int speed = 2 + (i % 4) * 2;
            const int direction = (i % 5 == 4) ? 1 : -1;
            int x = direction < 0 ? kStripWidth - 10 : 10;
            const int y = kStripHeight - 5; // below the thumbnails: the row scrolls
            strip->OnContact(Contact(ContactDown, x, y, t));
            for (int k = 0; k < 4; ++k) {
                t += 10;
                x += direction * speed * 10;
                strip->OnContact(Contact(ContactMove, x, y, t));
            }
            strip->OnContact(Contact(ContactUp, x, y, t));
            t += 1000;
            SpinUntil([&] { return !strip->inertiaRunning(); });
            const double placeholder = SpinUntil([&] { return InViewReady(*strip); });
            worst = std::max(worst, placeholder);
            sum += placeholder;
            ++flings;
        }
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        state.SetIterationTime(ns / 1e9);
        total += ns;
    }
    state.counters["flings"] = flings;
    state.counters["placeholder_at_rest_worst_ms"] = worst;
    state.counters["placeholder_at_rest_mean_ms"] = sum / flings;
    state.counters["worst_x_decode"] = worst * 1e6 / g_decodeNs;
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
// The 10,000 first, so that their resident memory is not the eager fills' leftovers.
BENCHMARK(BM_OneThumbnailDecode)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_FirstThumbnails10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PaneFirstThumbnails10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScrollAcross10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Fling10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
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
    LargePhotoFolder();
    std::printf("peak RSS after making the photos: %.1f MiB\n", PeakRssKiB() / 1024.0);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("peak RSS at the end: %.1f MiB\n", PeakRssKiB() / 1024.0);
    return 0;
}
