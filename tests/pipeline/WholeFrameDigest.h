#pragma once

// A few frames through every stage at once and the presenter's picture and display image, each
// reduced to a digest of its bytes: any change in any stage's output shows.

#include "pipeline/compose/DisplayConversion.h"
#include "pipeline/compose/Present.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/GrainRandom.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/stages/ProcessFrame.h"

#include <QImage>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdint>
#include <cstring>
#include <vector>

namespace whole_frame {

// FNV-1a over 64-bit words (then the last bytes of each row), so it is quick in debug builds.
inline std::uint64_t Digest(const uchar* data, int rows, int rowBytes, std::size_t step, std::uint64_t h)
{
    constexpr std::uint64_t kPrime = 1099511628211ull;
    for (int y = 0; y < rows; ++y) {
        const uchar* row = data + y * step;
        int x = 0;
        for (; x + 8 <= rowBytes; x += 8) {
            std::uint64_t word;
            std::memcpy(&word, row + x, 8);
            h = (h ^ word) * kPrime;
        }
        for (; x < rowBytes; ++x)
            h = (h ^ row[x]) * kPrime;
    }
    return h;
}

// Random texture that moves by a pixel or two from frame to frame, so the dots are tracked.
inline cv::Mat Frame(cv::Size size, std::uint64_t seed, int n)
{
    cv::Mat wide(size.height + 4, size.width + 4, CV_8UC3);
    cv::RNG rng(seed);
    rng.fill(wide, cv::RNG::UNIFORM, 0, 256);
    cv::GaussianBlur(wide, wide, cv::Size(5, 5), 0);
    return wide(cv::Rect(n % 3, (n + 1) % 3, size.width, size.height)).clone();
}

// Digests of the stages' output, the 32-bit picture and the three-quarter display image of each
// of three frames, in that order.
inline std::vector<std::uint64_t> Digests(cv::Size size, int colourModel, int effectStyle, std::uint64_t seed)
{
    PictureSettings settings;
    settings.flipMode = kFlipMirror;
    settings.channelsDefault = false;
    settings.colourModel = static_cast<ColourModel>(colourModel);
    settings.sliders.brightness = { 100, 130, 110 };
    settings.sliders.contrast = { 100, 80, 125 };
    settings.effectStyle = static_cast<EffectStyle>(effectStyle);
    settings.flowOn = true;
    settings.doodleShown = true;
    FlowState flow;
    flow.RequestDetection();
    DoodleLayer doodle;
    doodle.Clear(size);
    doodle.BeginStroke({ size.width / 5, size.height / 4 });
    doodle.ExtendStroke({ size.width * 3 / 4, size.height * 2 / 3 }, cv::Scalar(20, 200, 60), 3);
    doodle.EndStroke();
    GrainRandom random(static_cast<unsigned>(seed));
    QImage picture;
    DisplayBuffers buffers;
    std::vector<std::uint64_t> digests;
    for (int n = 0; n < 3; ++n) {
        cv::Mat frame = Frame(size, seed, n);
        ProcessFrame(frame, settings, flow, doodle, random);
        const std::uint64_t basis = 14695981039346656037ull;
        digests.push_back(Digest(frame.data, frame.rows, frame.cols * 3, frame.step, basis));
        FillPictureFromFrame(frame, picture);
        digests.push_back(Digest(picture.constBits(), picture.height(), picture.width() * 4,
            static_cast<std::size_t>(picture.bytesPerLine()), basis));
        const QSize display(std::max(1, size.width * 3 / 4), std::max(1, size.height * 3 / 4));
        const QImage shown = buffers.Stretch(picture, display);
        digests.push_back(Digest(shown.constBits(), shown.height(), shown.width() * 4,
            static_cast<std::size_t>(shown.bytesPerLine()), basis));
    }
    return digests;
}

} // namespace whole_frame
