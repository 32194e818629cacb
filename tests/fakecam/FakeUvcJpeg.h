#pragma once

// Motion-JPEG frames of the fake picture, fast enough for 1080p at 30 a second on a small machine.
//
// A frame is stitched from 8-row bands (one MCU row at 4:2:2), each encoded on its own: with a
// restart marker after every band, a band's entropy-coded data is exactly what a standalone
// JPEG of those 8 rows holds, because the decoder resets its DC predictors at each marker. So
// only the two bands of the number strip are encoded per frame; the bands below it are all alike
// (the picture depends on x alone there) and are kept per phase of the moving ramp.

#include "FakeUvcPattern.h"

#include <turbojpeg.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace fakeuvc {

class MjpegFrames {
public:
    MjpegFrames() = default;
    MjpegFrames(const MjpegFrames&) = delete;
    MjpegFrames& operator=(const MjpegFrames&) = delete;
    ~MjpegFrames()
    {
        if (tj_ != nullptr)
            tjDestroy(tj_);
    }

    // Writes frame `frame` into out and gives its length, which may exceed capacity (then only
    // capacity bytes were written); 0 when encoding failed.
    std::size_t Write(std::uint32_t frame, int brightness, int width, int height, std::uint8_t* out, std::size_t capacity)
    {
        if (width % 16 != 0 || height % kBand != 0 || height < kFakeStripRows + kBand || !Prepare(width, height, brightness))
            return 0;
        if (whole_)
            return WriteWhole(frame, out, capacity);

        std::vector<std::uint8_t>& body = body_[frame % kFakeRampPeriod];
        if (body.empty()) {
            // Rows below the strip look alike; the first of them stands for all.
            DrawFakeRows(luma_.data(), width_, width_, kFakeStripRows, kBand, frame, brightness_);
            if (!EncodeBand(luma_.data(), band_))
                return Fallback(frame, out, capacity);
            const int bands = height_ / kBand;
            for (int b = kStripBands; b < bands; ++b) {
                body.insert(body.end(), band_.begin(), band_.end());
                if (b + 1 < bands)
                    AppendRestart(body, b);
            }
        }

        strip_.clear();
        for (int b = 0; b < kStripBands; ++b) {
            DrawFakeRows(luma_.data(), width_, width_, b * kBand, kBand, frame, brightness_);
            if (!EncodeBand(luma_.data(), band_))
                return Fallback(frame, out, capacity);
            strip_.insert(strip_.end(), band_.begin(), band_.end());
            AppendRestart(strip_, b);
        }

        std::size_t at = 0;
        Put(out, capacity, at, header_.data(), header_.size());
        Put(out, capacity, at, strip_.data(), strip_.size());
        Put(out, capacity, at, body.data(), body.size());
        static constexpr std::uint8_t kEnd[] = { 0xFF, 0xD9 };
        Put(out, capacity, at, kEnd, sizeof kEnd);
        return at;
    }

private:
    static constexpr int kBand = 8;
    static constexpr int kStripBands = kFakeStripRows / kBand;
    static_assert(kFakeStripRows % kBand == 0, "the number strip must fill whole bands");
    static constexpr int kQuality = 85;

    static void Put(std::uint8_t* out, std::size_t capacity, std::size_t& at, const std::uint8_t* data, std::size_t size)
    {
        if (at < capacity)
            std::memcpy(out + at, data, std::min(size, capacity - at));
        at += size;
    }

    static void AppendRestart(std::vector<std::uint8_t>& bytes, int band)
    {
        bytes.push_back(0xFF);
        bytes.push_back(std::uint8_t(0xD0 + band % 8));
    }

    bool Prepare(int width, int height, int brightness)
    {
        if (tj_ == nullptr && (tj_ = tjInitCompress()) == nullptr)
            return false;
        if (width == width_ && height == height_ && brightness == brightness_)
            return true;
        width_ = width;
        height_ = height;
        brightness_ = brightness;
        for (auto& b : body_)
            b.clear();
        header_.clear();
        bandPrefix_.clear();
        whole_ = false;
        luma_.assign(std::size_t(width) * kBand, 0);
        chroma_.assign(std::size_t(width / 2) * height, 128);
        return true;
    }

    // Encodes one band and keeps its entropy-coded data in segment. The first band also gives
    // the frame header; a later band whose tables differ (an encoder set up otherwise through
    // TJ_* variables) makes stitching impossible.
    bool EncodeBand(const std::uint8_t* luma, std::vector<std::uint8_t>& segment)
    {
        if (!Compress(luma, kBand))
            return false;
        const std::size_t scan = ScanDataStart();
        if (scan == 0 || jpegSize_ < scan + 2 || jpeg_[jpegSize_ - 2] != 0xFF || jpeg_[jpegSize_ - 1] != 0xD9)
            return false;
        if (bandPrefix_.empty()) {
            bandPrefix_.assign(jpeg_.begin(), jpeg_.begin() + std::ptrdiff_t(scan));
            if (!MakeHeader())
                return false;
        } else if (scan != bandPrefix_.size() || std::memcmp(jpeg_.data(), bandPrefix_.data(), scan) != 0) {
            return false;
        }
        segment.assign(jpeg_.begin() + std::ptrdiff_t(scan), jpeg_.begin() + std::ptrdiff_t(jpegSize_ - 2));
        return true;
    }

    bool Compress(const std::uint8_t* luma, int rows)
    {
        const unsigned long bound = tjBufSize(width_, rows, TJSAMP_422);
        if (jpeg_.size() < bound)
            jpeg_.resize(bound);
        unsigned char* buffer = jpeg_.data();
        jpegSize_ = bound;
        const unsigned char* planes[3] = { luma, chroma_.data(), chroma_.data() };
        const int strides[3] = { width_, width_ / 2, width_ / 2 };
        return tjCompressFromYUVPlanes(tj_, planes, width_, strides, rows, TJSAMP_422, &buffer, &jpegSize_, kQuality,
                   TJFLAG_NOREALLOC)
            == 0;
    }

    // Where the entropy-coded data begins: after the start-of-scan segment; 0 if not found.
    std::size_t ScanDataStart() const
    {
        std::size_t at = 2;
        while (at + 4 <= jpegSize_ && jpeg_[at] == 0xFF) {
            const std::uint8_t marker = jpeg_[at + 1];
            const std::size_t length = std::size_t(jpeg_[at + 2]) << 8 | jpeg_[at + 3];
            if (length < 2)
                return 0;
            at += 2 + length;
            if (marker == 0xDA)
                return at <= jpegSize_ ? at : 0;
        }
        return 0;
    }

    // The band's own header with the frame's height and a restart after every band.
    bool MakeHeader()
    {
        header_ = bandPrefix_;
        std::size_t at = 2;
        std::size_t sos = 0;
        bool sized = false;
        while (at + 4 <= header_.size()) {
            const std::uint8_t marker = header_[at + 1];
            const std::size_t length = std::size_t(header_[at + 2]) << 8 | header_[at + 3];
            if (marker == 0xC0 && length >= 7) {
                header_[at + 5] = std::uint8_t(height_ >> 8);
                header_[at + 6] = std::uint8_t(height_);
                sized = true;
            }
            if (marker == 0xDA) {
                sos = at;
                break;
            }
            at += 2 + length;
        }
        if (!sized || sos == 0)
            return false;
        const unsigned mcusPerBand = unsigned(width_ / 16);
        const std::uint8_t restart[] = { 0xFF, 0xDD, 0x00, 0x04, std::uint8_t(mcusPerBand >> 8), std::uint8_t(mcusPerBand) };
        header_.insert(header_.begin() + std::ptrdiff_t(sos), std::begin(restart), std::end(restart));
        return true;
    }

    std::size_t Fallback(std::uint32_t frame, std::uint8_t* out, std::size_t capacity)
    {
        whole_ = true;
        return WriteWhole(frame, out, capacity);
    }

    std::size_t WriteWhole(std::uint32_t frame, std::uint8_t* out, std::size_t capacity)
    {
        wholeLuma_.resize(std::size_t(width_) * height_);
        DrawFakeRows(wholeLuma_.data(), width_, width_, 0, height_, frame, brightness_);
        if (!Compress(wholeLuma_.data(), height_))
            return 0;
        std::size_t at = 0;
        Put(out, capacity, at, jpeg_.data(), jpegSize_);
        return at;
    }

    tjhandle tj_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int brightness_ = 0;
    bool whole_ = false;
    std::vector<std::uint8_t> header_;
    std::vector<std::uint8_t> bandPrefix_;
    std::array<std::vector<std::uint8_t>, kFakeRampPeriod> body_;
    std::vector<std::uint8_t> strip_;
    std::vector<std::uint8_t> band_;
    std::vector<std::uint8_t> luma_;
    std::vector<std::uint8_t> chroma_;
    std::vector<std::uint8_t> wholeLuma_;
    std::vector<std::uint8_t> jpeg_;
    unsigned long jpegSize_ = 0;
};

} // namespace fakeuvc
