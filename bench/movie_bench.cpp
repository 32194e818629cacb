// Cost of one frame of the welcome movie strip, painted the way the widget paints itself: the
// cached gradient and the greeting copied into the window's backing image. Widths: the strip
// below a 640-wide picture and across a maximised 1920-wide window, at a fractional clock.
#include "app/CWelcomeMovie.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

void BM_MovieFrame(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    CWelcomeMovie movie;
    movie.resize(width, 60);
    if (movie.textSize().isEmpty())
        state.SkipWithError("nothing cached to paint");
    // The backing store of a raster window has this format.
    QImage window(width, 60, QImage::Format_ARGB32_Premultiplied);
    qint64 ms = 0;
    for (auto _ : state) {
        QPainter painter(&window);
        movie.Paint(painter, ms);
        painter.end();
        ms += CWelcomeMovie::kFrameMs;
        benchmark::DoNotOptimize(window.constBits());
    }
}

// A frame after a size change: the gradient and the greeting drawn again first.
void BM_MovieFrameAfterResize(benchmark::State& state)
{
    CWelcomeMovie movie;
    QImage window(1920, 60, QImage::Format_ARGB32_Premultiplied);
    int width = 1900;
    for (auto _ : state) {
        movie.resize(width, 60);
        QPainter painter(&window);
        movie.Paint(painter, 0);
        painter.end();
        width = width == 1900 ? 1920 : 1900;
    }
}

} // namespace

BENCHMARK(BM_MovieFrame)->Arg(640)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MovieFrameAfterResize)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
