#include "pipeline/capture/MjpegDecoder.h"

#if defined(PARVEL_HAVE_TURBOJPEG)
#include <turbojpeg.h>
#else
#include <opencv2/imgcodecs.hpp>
#endif

bool LooksLikeWholeJpeg(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    std::size_t end = size;
    while (end > 2 && data[end - 1] == 0x00)
        --end;
    return end >= 4 && data[end - 2] == 0xFF && data[end - 1] == 0xD9;
}

#if defined(PARVEL_HAVE_TURBOJPEG)

struct MjpegDecoder::Impl {
    tjhandle handle = tjInitDecompress();
    ~Impl()
    {
        if (handle != nullptr)
            tjDestroy(handle);
    }
};

MjpegDecoder::MjpegDecoder() : impl_(std::make_unique<Impl>()) { }
MjpegDecoder::~MjpegDecoder() = default;

bool MjpegDecoder::Decode(const std::uint8_t* data, std::size_t size, cv::Mat& bgr)
{
    if (impl_->handle == nullptr || !LooksLikeWholeJpeg(data, size))
        return false;
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    auto* source = const_cast<unsigned char*>(data);
    const auto length = static_cast<unsigned long>(size);
    if (tjDecompressHeader3(impl_->handle, source, length, &width, &height, &subsampling, &colourspace) != 0
        || width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return false;
    // Into a picture of its own: a frame refused half-way must not leave the caller's picture
    // half overwritten.
    cv::Mat decoded(height, width, CV_8UC3);
    // A warning (data cut short, a damaged block) refuses the frame too: libjpeg would fill the
    // rest with grey and the picture would flash.
    if (tjDecompress2(impl_->handle, source, length, decoded.data, width, static_cast<int>(decoded.step), height,
            TJPF_BGR, TJFLAG_STOPONWARNING)
        != 0)
        return false;
    bgr = decoded;
    return true;
}

#else

struct MjpegDecoder::Impl { };

MjpegDecoder::MjpegDecoder() : impl_(std::make_unique<Impl>()) { }
MjpegDecoder::~MjpegDecoder() = default;

bool MjpegDecoder::Decode(const std::uint8_t* data, std::size_t size, cv::Mat& bgr)
{
    if (!LooksLikeWholeJpeg(data, size))
        return false;
    cv::Mat decoded = cv::imdecode(cv::Mat(1, static_cast<int>(size), CV_8UC1, const_cast<std::uint8_t*>(data)),
        cv::IMREAD_COLOR);
    if (decoded.empty())
        return false;
    bgr = decoded;
    return true;
}

#endif
