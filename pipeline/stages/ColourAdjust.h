#pragma once

#include <opencv2/core.hpp>

#include <array>
#include <cstdint>

enum ColourModel : int {
    kColourRgb = 0,
    kColourHsv = 1,
    kColourHls = 2,
    kColourYCrCb = 3,
};

// Brightness and contrast of the three sliders, each 0 … 200 with 100 neutral, and the channel of
// the converted picture that each slider acts on.
struct ChannelSliders {
    std::array<int, 3> channelIndex { 0, 1, 2 };
    std::array<int, 3> brightness { 100, 100, 100 };
    std::array<int, 3> contrast { 100, 100, 100 };
};

using ChannelTable = std::array<std::uint8_t, 256>;

// The 256-entry remapping of one channel: a two-branch linear rule, rounded half to even and
// clamped to 0 … 255. Neutral sliders are not an exact identity (128 becomes 129).
ChannelTable BuildChannelTable(int brightness, int contrast);

// Whether slider i (0, 1, 2) acts in this colour model: all three in RGB, not the hue in HSV and
// HLS, only the luma in YCrCb.
bool SliderAdjusts(int colourModel, int slider);

// Converts the frame into the model, remaps the channels the model adjusts and converts it back,
// in place. Unknown models are treated as RGB.
void AdjustChannels(cv::Mat& frame, int colourModel, const ChannelSliders& sliders);
