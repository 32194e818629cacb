#pragma once

// What the benchmark programs share: the yardstick (one plain frame copy, and timings as
// multiples of it), the pictures they feed in, and the grain written the plain way.

#include "pipeline/stages/Doodle.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// Median time of one copy of a w × h BGR frame, in nanoseconds, measured once per size.
inline double CopyNs(int w, int h)
{
    static std::map<std::pair<int, int>, double> measured;
    const auto key = std::make_pair(w, h);
    if (auto found = measured.find(key); found != measured.end())
        return found->second;
    cv::Mat frame(h, w, CV_8UC3);
    cv::randu(frame, cv::Scalar::all(0), cv::Scalar::all(256));
    cv::Mat dst(h, w, CV_8UC3);
    std::vector<double> runs;
    for (int r = 0; r < 9; ++r) {
        const int n = 400;
        const auto start = Clock::now();
        for (int i = 0; i < n; ++i) {
            frame.copyTo(dst);
            benchmark::DoNotOptimize(dst.data);
            benchmark::ClobberMemory();
        }
        runs.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() / n);
    }
    std::nth_element(runs.begin(), runs.begin() + runs.size() / 2, runs.end());
    return measured[key] = runs[runs.size() / 2];
}

// Runs body once per iteration and reports its time as a multiple of a frame copy ("x_copy").
template <typename Body>
void Measure(benchmark::State& state, int w, int h, Body&& body)
{
    const double copyNs = CopyNs(w, h);
    const auto start = Clock::now();
    for (auto _ : state)
        body();
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count()
        / static_cast<double>(state.iterations());
    state.counters["x_copy"] = ns / copyNs;
    state.counters["ms"] = ns / 1e6;
    state.counters["copy_ms"] = copyNs / 1e6;
}

// Blurred noise, rich enough in corners for the full 500 dots; shift moves it diagonally.
inline cv::Mat Textured(cv::Size size, int shift)
{
    cv::Mat big(size.height + 8, size.width + 8, CV_8UC3);
    cv::RNG rng(99);
    rng.fill(big, cv::RNG::UNIFORM, 0, 256);
    cv::GaussianBlur(big, big, cv::Size(5, 5), 1.2);
    return big(cv::Rect(4 + shift, 4 - shift, size.width, size.height)).clone();
}

// Twelve random strokes of growing width.
inline void PaintSomeStrokes(DoodleLayer& doodle, cv::Size size)
{
    doodle.Clear(size);
    cv::RNG rng(3);
    for (int s = 0; s < 12; ++s) {
        doodle.BeginStroke({ rng.uniform(0, size.width), rng.uniform(0, size.height) });
        for (int m = 0; m < 8; ++m)
            doodle.ExtendStroke({ rng.uniform(0, size.width), rng.uniform(0, size.height) },
                cv::Scalar(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256)), 1 + s);
        doodle.EndStroke();
    }
}

// Grain the plain way, as a yardstick: split into planes, the C library's rand() per sample,
// merged back.
inline void PerSampleGrain(cv::Mat& frame)
{
    cv::Mat ycc;
    cv::cvtColor(frame, ycc, cv::COLOR_BGR2YCrCb);
    std::vector<cv::Mat> planes;
    cv::split(ycc, planes);
    for (int y = 0; y < ycc.rows; ++y) {
        uchar* p = planes[0].ptr<uchar>(y);
        for (int x = 0; x < ycc.cols; ++x) {
            const double t = std::rand() % 21 + 1.7 * p[x] - 10;
            p[x] = cv::saturate_cast<uchar>(t * t / 255);
        }
    }
    for (int c = 1; c < 3; ++c)
        for (int y = 0; y < ycc.rows; ++y) {
            uchar* p = planes[c].ptr<uchar>(y);
            for (int x = 0; x < ycc.cols; ++x)
                p[x] = static_cast<uchar>((p[x] - 128) / 2 + 128);
        }
    cv::merge(planes, ycc);
    cv::cvtColor(ycc, frame, cv::COLOR_YCrCb2BGR);
}

// Decoration files as a user would have them: a logo, a transparent 640 × 480 frame with a
// border top and bottom, a round sticker; and an empty photo folder.
struct DecorationFiles {
    QTemporaryDir dir;
    QString logo, frame, sticker, photos;

    DecorationFiles()
    {
        QImage logoImage(124, 40, QImage::Format_ARGB32);
        logoImage.fill(QColor(255, 255, 255, 160));
        logo = dir.filePath("loogo.png");
        logoImage.save(logo);
        QImage border(640, 480, QImage::Format_ARGB32);
        border.fill(Qt::transparent);
        {
            QPainter p(&border);
            p.fillRect(0, 0, 640, 30, QColor(120, 60, 20));
            p.fillRect(0, 450, 640, 30, QColor(120, 60, 20));
        }
        frame = dir.filePath("frame.png");
        border.save(frame);
        QImage round(96, 96, QImage::Format_ARGB32);
        round.fill(Qt::transparent);
        {
            QPainter p(&round);
            p.setBrush(QColor(250, 200, 40));
            p.drawEllipse(4, 4, 88, 88);
        }
        sticker = dir.filePath("sticker.png");
        round.save(sticker);
        photos = dir.filePath("photos");
        QDir(dir.path()).mkdir("photos");
    }
};

} // namespace bench
