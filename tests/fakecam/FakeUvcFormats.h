#pragma once

// The formats, sizes and frame intervals of the fake camera, and how a request snaps to them the
// way uvcvideo does.

#include <linux/videodev2.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

namespace fakeuvc {

struct Interval {
    std::uint32_t numerator = 1;
    std::uint32_t denominator = 30;
};

struct FrameSize {
    std::uint32_t width;
    std::uint32_t height;
    std::span<const Interval> intervals; // fastest first
};

struct PixelFormat {
    std::uint32_t fourcc;
    const char* description;
    bool compressed;
    std::span<const FrameSize> sizes;
};

namespace table {
inline constexpr Interval k30and15[] = { { 1, 30 }, { 1, 15 } };
inline constexpr Interval k10and5[] = { { 1, 10 }, { 1, 5 } };
inline constexpr Interval k5[] = { { 1, 5 } };
// USB 2.0 bandwidth keeps uncompressed HD slow.
inline constexpr FrameSize kYuyvSizes[] = { { 640, 480, k30and15 }, { 1280, 720, k10and5 }, { 1920, 1080, k5 } };
inline constexpr FrameSize kMjpgSizes[] = { { 640, 480, k30and15 }, { 1280, 720, k30and15 }, { 1920, 1080, k30and15 } };
inline constexpr PixelFormat kFormats[] = {
    { V4L2_PIX_FMT_YUYV, "YUYV 4:2:2", false, kYuyvSizes },
    { V4L2_PIX_FMT_MJPEG, "Motion-JPEG", true, kMjpgSizes },
};
} // namespace table

inline std::span<const PixelFormat> Formats() { return table::kFormats; }

inline const PixelFormat* FindFormat(std::uint32_t fourcc)
{
    for (const PixelFormat& f : table::kFormats)
        if (f.fourcc == fourcc)
            return &f;
    return nullptr;
}

inline const FrameSize* FindSize(const PixelFormat& format, std::uint32_t width, std::uint32_t height)
{
    for (const FrameSize& s : format.sizes)
        if (s.width == width && s.height == height)
            return &s;
    return nullptr;
}

// uvcvideo's measure: the area the two rectangles do not share.
inline const FrameSize& NearestSize(const PixelFormat& format, std::uint32_t width, std::uint32_t height)
{
    const FrameSize* best = &format.sizes.front();
    std::uint64_t bestDistance = std::numeric_limits<std::uint64_t>::max();
    for (const FrameSize& s : format.sizes) {
        const std::uint64_t common = std::uint64_t(std::min(s.width, width)) * std::min(s.height, height);
        const std::uint64_t distance = std::uint64_t(s.width) * s.height + std::uint64_t(width) * height - 2 * common;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &s;
        }
    }
    return *best;
}

// The nearest interval by duration; a zero denominator asks for the fastest.
inline Interval NearestInterval(const FrameSize& size, Interval wanted)
{
    if (wanted.denominator == 0 || wanted.numerator == 0)
        return size.intervals.front();
    const double seconds = double(wanted.numerator) / wanted.denominator;
    Interval best = size.intervals.front();
    double bestDistance = std::numeric_limits<double>::max();
    for (const Interval& i : size.intervals) {
        const double distance = std::abs(double(i.numerator) / i.denominator - seconds);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

inline std::uint32_t BytesPerLine(const PixelFormat& format, std::uint32_t width)
{
    return format.compressed ? 0 : width * 2;
}

// uvcvideo reports the camera's largest frame; typical cameras give two bytes a pixel for both.
inline std::uint32_t SizeImage(std::uint32_t width, std::uint32_t height) { return width * height * 2; }

} // namespace fakeuvc
