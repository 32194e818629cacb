#pragma once

#include <opencv2/core.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One row of a camera's own table: a pixel format at one picture size, with the frame rates the
// camera offers there. A USB 2.0 webcam's table decides what it can really give: its uncompressed
// pictures above 640 × 480 come a few a second, its Motion-JPEG ones at 30.
struct CameraMode {
    std::uint32_t fourcc = 0; // four-character code, as V4L2 and OpenCV spell it
    bool compressed = false;
    cv::Size size;
    std::vector<double> rates; // frames a second; empty when the camera does not say
};

// What a start asks the camera for.
struct ModeChoice {
    std::uint32_t fourcc = 0;
    bool compressed = false;
    cv::Size size;
    double rate = 0; // 0: whatever the camera gives
};

// What the camera agreed to once asked (read back, not assumed).
struct CameraAgreement {
    std::uint32_t fourcc = 0;
    cv::Size size;
    double rate = 0; // 0 when the camera does not say
    cv::Size asked;  // the size that was asked for (empty when none)
    std::string device; // the device node or index it was opened by
};

// The rate the program never goes beyond: it shows at most about 30 pictures a second.
inline constexpr double kMostRate = 30.0;
// An uncompressed format is preferred when it reaches this rate: it costs no decoding.
inline constexpr double kSmoothRate = 25.0;
// The largest size a new camera starts at.
inline const cv::Size kLargestDefaultSize(1920, 1080);

constexpr std::uint32_t FourCc(char a, char b, char c, char d)
{
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 | std::uint32_t(std::uint8_t(c)) << 16
        | std::uint32_t(std::uint8_t(d)) << 24;
}
inline constexpr std::uint32_t kFourCcMjpeg = FourCc('M', 'J', 'P', 'G');
inline constexpr std::uint32_t kFourCcJpeg = FourCc('J', 'P', 'E', 'G');
inline constexpr std::uint32_t kFourCcYuyv = FourCc('Y', 'U', 'Y', 'V');

std::string FourCcText(std::uint32_t fourcc);
// Pictures in this format are JPEG images, decoded by the program itself.
bool IsJpegFormat(std::uint32_t fourcc);
// Formats the capture can turn into pictures: the uncompressed ones OpenCV converts and JPEG.
bool IsUsableFormat(std::uint32_t fourcc);

// The rate a mode runs at here: its fastest up to 30 a second, else its slowest; 0 when unknown.
double UsableRate(const CameraMode& mode);

// The format for a size: an uncompressed one when it reaches 25 a second there, else whichever
// usable format reaches the highest rate (up to 30). None when the camera offers no usable
// format at that size.
std::optional<ModeChoice> ChooseMode(const std::vector<CameraMode>& modes, cv::Size size);

// Each size the camera offers once, smallest first, with the rate and format a start would use.
std::vector<ModeChoice> SizeOffers(const std::vector<CameraMode>& modes);

// The size a camera starts at before anyone chose one: the largest that reaches 25 a second, at
// most 1920 × 1080; when none does, the fastest (the larger of equals). Nothing when the table
// is empty.
std::optional<cv::Size> DefaultSize(const std::vector<CameraMode>& modes);
