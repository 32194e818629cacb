#include "pipeline/stages/ColourAdjust.h"

#include "pipeline/stages/HsvExact.h"
#include "pipeline/stages/StripCount.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

ChannelTable BuildChannelTable(int brightness, int contrast)
{
    const int br = brightness - 100;
    const int ct = contrast - 100;
    double a = 0;
    double k = 0;
    if (ct > 0) {
        const double d = 127.0 * ct / 100.0;
        a = 255.0 / (255.0 - 2.0 * d);
        k = a * (br - d);
    } else {
        const double d = -128.0 * ct / 100.0;
        a = (256.0 - 2.0 * d) / 255.0;
        k = a * br + d;
    }
    ChannelTable table {};
    for (int v = 0; v < 256; ++v) {
        // nearbyint rounds half to even in the default rounding mode.
        const double rounded = std::nearbyint(a * v + k);
        table[v] = static_cast<std::uint8_t>(std::clamp(rounded, 0.0, 255.0));
    }
    return table;
}

bool SliderAdjusts(int colourModel, int slider)
{
    switch (colourModel) {
    case kColourHsv:
    case kColourHls:
        return slider != 0; // hue is never remapped
    case kColourYCrCb:
        return slider == 0; // luma only
    default:
        return true;
    }
}

namespace {

// Rows converted at a time: a strip and its converted copy fit in a core's own cache.
constexpr int kStripBytes = 32 * 1024;

struct Conversion {
    int in = -1;
    int out = -1;
};

Conversion ConversionFor(int colourModel)
{
    switch (colourModel) {
    case kColourHsv:
        return { cv::COLOR_BGR2HSV, cv::COLOR_HSV2BGR };
    case kColourHls:
        return { cv::COLOR_BGR2HLS, cv::COLOR_HLS2BGR };
    case kColourYCrCb:
        return { cv::COLOR_BGR2YCrCb, cv::COLOR_YCrCb2BGR };
    default:
        return {};
    }
}

bool KeepsHue(const cv::Mat& lut)
{
    const auto* entry = lut.ptr<cv::Vec3b>();
    for (int v = 0; v < 256; ++v)
        if (entry[v][0] != v)
            return false;
    return true;
}

// Converted, remapped and converted back with OpenCV, in place.
void ConvertLookUpBack(cv::Mat& pixels, const Conversion& conversion, const cv::Mat& lut, cv::Mat& converted)
{
    cv::cvtColor(pixels, converted, conversion.in);
    cv::LUT(converted, lut, converted);
    cv::cvtColor(converted, pixels, conversion.out);
}

// HSV with the hue left alone: converted, remapped and converted back pixel by pixel, with no
// converted picture in between, where that gives OpenCV's bytes; the last pixels of each row,
// which OpenCV converts back with another rounding, go through OpenCV as a narrow view. Returns
// false, having done nothing, when the one-pass form does not agree with this CPU's OpenCV.
bool AdjustHsvOnePass(cv::Mat& frame, const cv::Mat& lut)
{
    const int fastColumns = HsvFastColumns(frame.cols);
    if (fastColumns == 0)
        return false;
    std::array<std::uint8_t, 256> saturation {};
    std::array<std::uint8_t, 256> value {};
    const auto* entry = lut.ptr<cv::Vec3b>();
    for (int v = 0; v < 256; ++v) {
        saturation[v] = entry[v][1];
        value[v] = entry[v][2];
    }
    const HsvAdjust adjust(saturation, value);
    const Conversion conversion = ConversionFor(kColourHsv);
    ForEachStrip(frame.rows, frame.cols * 3, [&](int first, int end) {
        for (int y = first; y < end; ++y)
            adjust.Row(frame.ptr(y), frame.ptr(y), fastColumns);
        if (fastColumns < frame.cols) {
            cv::Mat ends = frame(cv::Range(first, end), cv::Range(fastColumns, frame.cols));
            cv::Mat converted;
            ConvertLookUpBack(ends, conversion, lut, converted);
        }
    });
    return true;
}

} // namespace

void AdjustChannels(cv::Mat& frame, int colourModel, const ChannelSliders& sliders)
{
    CV_Assert(frame.empty() || frame.type() == CV_8UC3);
    if (frame.empty())
        return;

    // One three-channel table does the work of split, per-channel look-up and merge. Sliders that
    // share a channel are applied one after the other, so their tables are composed in order.
    cv::Mat lut(1, 256, CV_8UC3);
    auto* entry = lut.ptr<cv::Vec3b>();
    for (int v = 0; v < 256; ++v)
        entry[v] = cv::Vec3b(static_cast<uchar>(v), static_cast<uchar>(v), static_cast<uchar>(v));
    for (int i = 0; i < 3; ++i) {
        const int channel = sliders.channelIndex[i];
        if (!SliderAdjusts(colourModel, i) || channel < 0 || channel > 2)
            continue;
        const ChannelTable table = BuildChannelTable(sliders.brightness[i], sliders.contrast[i]);
        for (int v = 0; v < 256; ++v)
            entry[v][channel] = table[entry[v][channel]];
    }

    const Conversion conversion = ConversionFor(colourModel);
    if (conversion.in < 0) {
        cv::LUT(frame, lut, frame);
        return;
    }
    if (colourModel == kColourHsv && KeepsHue(lut) && AdjustHsvOnePass(frame, lut))
        return;
    // Converted, remapped and converted back a few rows at a time: the strip's converted copy is
    // still in the cache when it is converted back, instead of a whole converted frame going out
    // to memory and coming back. Each pixel is converted on its own, so strips give the same
    // bytes as the whole frame; they are shared among the cores.
    const int rowBytes = frame.cols * 3;
    const int stripRows = std::max(1, kStripBytes / std::max(rowBytes, 1));
    const int strips = (frame.rows + stripRows - 1) / stripRows;
    cv::parallel_for_(cv::Range(0, strips), [&](const cv::Range& range) {
        cv::Mat converted;
        for (int strip = range.start; strip < range.end; ++strip) {
            cv::Mat rows = frame.rowRange(strip * stripRows, std::min(frame.rows, (strip + 1) * stripRows));
            ConvertLookUpBack(rows, conversion, lut, converted);
        }
    });
}
