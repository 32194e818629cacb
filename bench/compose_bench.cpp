// Cost of decorating one frame (display conversion, logo, a transparent 640 × 480 big frame
// stretched over the picture, 10 add-ons) and of saving it as a JPEG photo, as multiples of one
// plain frame copy measured in the same run ("x_copy").

#include "BenchFixtures.h"

#include "pipeline/compose/DisplayConversion.h"
#include "pipeline/compose/OverlayStore.h"
#include "pipeline/compose/Overlays.h"
#include "pipeline/record/PhotoCapture.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

using bench::Measure;

struct Assets {
    QTemporaryDir dir;
    QString logo;
    QString frame;
    std::vector<QString> addOns;

    Assets()
    {
        logo = dir.filePath("loogo.png");
        QImage logoImage(120, 40, QImage::Format_ARGB32);
        logoImage.fill(QColor(255, 255, 255, 160));
        logoImage.save(logo);

        // A typical frame: an opaque border and a clear middle, with soft edges.
        QImage frameImage(640, 480, QImage::Format_ARGB32);
        frameImage.fill(Qt::transparent);
        {
            QPainter p(&frameImage);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(QColor(200, 120, 40, 230), 40));
            p.drawRoundedRect(QRectF(20, 20, 600, 440), 30, 30);
        }
        frame = dir.filePath("frame.png");
        frameImage.save(frame);

        for (int i = 0; i < 10; ++i) {
            QImage addOn(64, 64, QImage::Format_ARGB32);
            addOn.fill(Qt::transparent);
            QPainter p(&addOn);
            p.setRenderHint(QPainter::Antialiasing);
            p.setBrush(QColor::fromHsv(i * 36, 200, 230));
            p.drawEllipse(4, 4, 56, 56);
            p.end();
            addOns.push_back(dir.filePath(QString("addon%1.png").arg(i)));
            addOn.save(addOns.back());
        }
    }
};

Assets& SharedAssets()
{
    static Assets assets;
    return assets;
}

// Something like a camera picture: smooth gradients with a little sensor noise (pure noise would
// make the JPEG encoder several times slower than on any real picture).
cv::Mat CameraFrame(int w, int h)
{
    cv::Mat frame(h, w, CV_8UC3);
    for (int y = 0; y < h; ++y) {
        auto* row = frame.ptr<cv::Vec3b>(y);
        for (int x = 0; x < w; ++x)
            row[x] = cv::Vec3b(uchar(x * 255 / w), uchar(y * 255 / h), uchar((x + y) * 127 / (w + h) + 64));
    }
    cv::Mat noise(h, w, CV_8UC3);
    cv::randn(noise, cv::Scalar::all(0), cv::Scalar::all(3));
    frame += noise;
    return frame;
}

std::unique_ptr<OverlayStore> MakeDecorations(int w, int h)
{
    Assets& assets = SharedAssets();
    // The same placements in every run, so that runs compare.
    auto random = std::make_shared<std::mt19937>(1);
    auto decorations = std::make_unique<OverlayStore>(assets.logo, [random] { return (*random)(); });
    decorations->SetFrameImage(assets.frame, 1);
    for (const QString& addOn : assets.addOns)
        decorations->AddAddOn(addOn, 1, w, h);
    return decorations;
}

// The benchmark's picture size and a camera frame of that size.
struct Sized {
    int w;
    int h;
    cv::Mat frame;
};

Sized SizedFrame(const benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    return { w, h, CameraFrame(w, h) };
}

void BM_FrameCopy(benchmark::State& state)
{
    const auto [w, h, frame] = SizedFrame(state);
    cv::Mat dst(h, w, CV_8UC3);
    Measure(state, w, h, [&] {
        frame.copyTo(dst);
        benchmark::DoNotOptimize(dst.data);
    });
}

// BGR frame into the display image.
void BM_DisplayConversion(benchmark::State& state)
{
    const auto [w, h, frame] = SizedFrame(state);
    QImage picture;
    Measure(state, w, h, [&] {
        FillPictureFromFrame(frame, picture);
        benchmark::DoNotOptimize(picture.constBits());
    });
}

// Logo, stretched frame and 10 add-ons onto the display image (the conversion included).
void BM_Compose(benchmark::State& state)
{
    const auto [w, h, frame] = SizedFrame(state);
    auto decorations = MakeDecorations(w, h);
    QImage picture;
    Measure(state, w, h, [&] {
        FillPictureFromFrame(frame, picture);
        decorations->DrawOverlays(picture);
        benchmark::DoNotOptimize(picture.constBits());
    });
}

// The same layers painted the plain way: the frame decoded once but stretched on every frame.
void BM_ComposeUncachedFrame(benchmark::State& state)
{
    const auto [w, h, frame] = SizedFrame(state);
    auto decorations = MakeDecorations(w, h);
    decorations->ToggleFrameShown(); // hidden: painted below instead
    const QImage frameImage(SharedAssets().frame);
    QImage picture;
    Measure(state, w, h, [&] {
        FillPictureFromFrame(frame, picture);
        {
            QPainter painter(&picture);
            painter.drawImage(QRect(0, 0, w, h), frameImage);
        }
        decorations->DrawOverlays(picture);
        benchmark::DoNotOptimize(picture.constBits());
    });
}

// The one-off cost of the first frame after a frame pick: loading and stretching it once.
void BM_ComposeAfterFramePick(benchmark::State& state)
{
    const auto [w, h, frame] = SizedFrame(state);
    auto decorations = MakeDecorations(w, h);
    QImage picture;
    Measure(state, w, h, [&] {
        decorations->SetFrameImage(SharedAssets().frame, 1);
        FillPictureFromFrame(frame, picture);
        decorations->DrawOverlays(picture);
        benchmark::DoNotOptimize(picture.constBits());
    });
}

// The photo: JPEG at default quality, written beside and renamed.
void BM_PhotoSave(benchmark::State& state)
{
    const auto [w, h, frame] = SizedFrame(state);
    auto decorations = MakeDecorations(w, h);
    QImage picture;
    FillPictureFromFrame(frame, picture);
    decorations->DrawOverlays(picture);
    QTemporaryDir photos;
    Measure(state, w, h, [&] {
        const PhotoResult result = SavePhoto(picture, photos.path(), 1'700'000'000);
        QFile::remove(result.path);
    });
}

#define PARVEL_SIZES ->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond)

BENCHMARK(BM_FrameCopy) PARVEL_SIZES;
BENCHMARK(BM_DisplayConversion) PARVEL_SIZES;
BENCHMARK(BM_Compose) PARVEL_SIZES;
BENCHMARK(BM_ComposeUncachedFrame) PARVEL_SIZES;
BENCHMARK(BM_ComposeAfterFramePick) PARVEL_SIZES;
BENCHMARK(BM_PhotoSave) PARVEL_SIZES;

} // namespace

BENCHMARK_MAIN();
