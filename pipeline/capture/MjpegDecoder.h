#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>

// Turns a camera's Motion-JPEG frames into BGR pictures. A USB hiccup leaves a frame cut short
// or damaged: such a frame is refused (false), quietly, so the caller drops it; nothing is written
// to standard error. One decoder per reading thread.
class MjpegDecoder {
public:
    MjpegDecoder();
    ~MjpegDecoder();
    MjpegDecoder(const MjpegDecoder&) = delete;
    MjpegDecoder& operator=(const MjpegDecoder&) = delete;

    // Decodes a whole frame into bgr (reallocated only when the size changes). False for data
    // that is not one complete, sound JPEG image; bgr is then left as it was.
    bool Decode(const std::uint8_t* data, std::size_t size, cv::Mat& bgr);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The frame holds a JPEG image from its start marker to its end marker (drivers may pad the
// buffer with zero bytes after it); a frame cut short has no end marker.
bool LooksLikeWholeJpeg(const std::uint8_t* data, std::size_t size);
