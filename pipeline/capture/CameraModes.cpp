#include "pipeline/capture/CameraModes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

bool SmallerArea(const cv::Size& a, const cv::Size& b)
{
    return std::pair(a.area(), a.width) < std::pair(b.area(), b.width);
}

// Rates that differ by less than this are the same rate (29.97 and 30).
bool Faster(double a, double b)
{
    return a > b + 0.05;
}

} // namespace

std::string FourCcText(std::uint32_t fourcc)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((fourcc >> (8 * i)) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

bool IsJpegFormat(std::uint32_t fourcc)
{
    return fourcc == kFourCcMjpeg || fourcc == kFourCcJpeg;
}

bool IsUsableFormat(std::uint32_t fourcc)
{
    // What OpenCV's camera back-ends turn into BGR pictures, and JPEG, which we decode.
    static constexpr std::array kConverted { FourCc('Y', 'U', 'Y', 'V'), FourCc('U', 'Y', 'V', 'Y'),
        FourCc('N', 'V', '1', '2'), FourCc('N', 'V', '2', '1'), FourCc('Y', 'U', '1', '2'), FourCc('Y', 'V', '1', '2'),
        FourCc('B', 'G', 'R', '3'), FourCc('R', 'G', 'B', '3'), FourCc('G', 'R', 'E', 'Y'), FourCc('Y', '1', '6', ' '),
        FourCc('R', 'G', 'B', 'P'), FourCc('B', 'A', '8', '1') };
    return IsJpegFormat(fourcc) || std::find(kConverted.begin(), kConverted.end(), fourcc) != kConverted.end();
}

double UsableRate(const CameraMode& mode)
{
    double best = 0;
    double slowest = 0;
    for (const double rate : mode.rates) {
        if (!(rate > 0) || !std::isfinite(rate))
            continue;
        if (rate <= kMostRate + 0.05)
            best = std::max(best, rate);
        slowest = slowest == 0 ? rate : std::min(slowest, rate);
    }
    return best > 0 ? best : slowest;
}

std::optional<ModeChoice> ChooseMode(const std::vector<CameraMode>& modes, cv::Size size)
{
    const CameraMode* uncompressed = nullptr;
    const CameraMode* fastest = nullptr;
    for (const CameraMode& mode : modes) {
        if (mode.size != size || !IsUsableFormat(mode.fourcc))
            continue;
        const double rate = UsableRate(mode);
        if (!mode.compressed && (!uncompressed || Faster(rate, UsableRate(*uncompressed))))
            uncompressed = &mode;
        // Equal rates: the uncompressed format, which costs no decoding.
        if (!fastest || Faster(rate, UsableRate(*fastest))
            || (!Faster(UsableRate(*fastest), rate) && fastest->compressed && !mode.compressed))
            fastest = &mode;
    }
    const CameraMode* pick = uncompressed && UsableRate(*uncompressed) >= kSmoothRate - 0.05 ? uncompressed : fastest;
    if (!pick)
        return std::nullopt;
    return ModeChoice { pick->fourcc, pick->compressed, pick->size, UsableRate(*pick) };
}

std::vector<ModeChoice> SizeOffers(const std::vector<CameraMode>& modes)
{
    std::vector<cv::Size> sizes;
    for (const CameraMode& mode : modes)
        if (mode.size.width > 0 && mode.size.height > 0 && IsUsableFormat(mode.fourcc))
            sizes.push_back(mode.size);
    std::sort(sizes.begin(), sizes.end(), SmallerArea);
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    std::vector<ModeChoice> offers;
    for (const cv::Size& size : sizes)
        if (const std::optional<ModeChoice> choice = ChooseMode(modes, size))
            offers.push_back(*choice);
    return offers;
}

std::optional<cv::Size> DefaultSize(const std::vector<CameraMode>& modes)
{
    const std::vector<ModeChoice> offers = SizeOffers(modes);
    std::optional<cv::Size> smooth;
    const ModeChoice* fastest = nullptr;
    for (const ModeChoice& offer : offers) { // smallest first: later ones are larger
        const bool fits = offer.size.width <= kLargestDefaultSize.width && offer.size.height <= kLargestDefaultSize.height;
        if (fits && offer.rate >= kSmoothRate - 0.05)
            smooth = offer.size;
        if (fits && (!fastest || !Faster(fastest->rate, offer.rate)))
            fastest = &offer;
    }
    if (smooth)
        return smooth;
    if (fastest)
        return fastest->size;
    if (!offers.empty())
        return offers.front().size; // every size is larger than the largest default
    return std::nullopt;
}
