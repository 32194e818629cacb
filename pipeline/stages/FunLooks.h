#pragma once

#include <opencv2/core.hpp>

#include <cstdint>

// The funhouse looks: effects that recolour the picture, on a BGR frame (CV_8UC3) in place. The
// frame may be a view into a larger picture; nothing outside it is written, and its size and type
// stay.

// A thermal camera's false colour: dark is cold (black, blue, purple), bright is hot (red, yellow,
// white).
void ApplyThermal(cv::Mat& frame);
// An X-ray film: the grey picture inverted, with a cold blue tint.
void ApplyXRay(cv::Mat& frame);
// A comic drawing: flat colours with black ink where the picture has edges and dark lines.
void ApplyComic(cv::Mat& frame);
// Four copies of the picture, half size, in four flat colourings of three tones each.
void ApplyPop(cv::Mat& frame);
// Square blocks of the picture's mean colour, about 1/32 of its shorter side (at least 2 pixels).
void ApplyMosaic(cv::Mat& frame);
// The block size ApplyMosaic uses for a picture of that size.
int MosaicBlock(cv::Size size);

// The old film's grain, made once from its seed.
class OldFilmState {
public:
    explicit OldFilmState(unsigned seed = 1)
        : seed_(seed)
    {
    }

    unsigned Seed() const { return seed_; }
    // Signed grain (CV_8SC1) of 256 rows, the same 256 columns repeated to width + 256 so that
    // any 256-step shift of a row is one run of width values. Made when the width changes.
    const cv::Mat& Grain(int width);

private:
    unsigned seed_;
    cv::Mat grain_;
};

// Sepia with grain, a flicker, a darker rim, scratches that stay a few frames and specks of dust.
// Animated by frameNumber only: the same seed and frame number give the same picture.
void ApplyOldFilm(cv::Mat& frame, OldFilmState& state, std::int64_t frameNumber);
