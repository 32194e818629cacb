// stagedump FOLDER: writes one frame of the built-in test scene through each picture stage as
// PNG files into FOLDER (which must exist), so the stages can be looked at.
#include "pipeline/stages/ZoomCut.h"
#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/GrainRandom.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/stages/ProcessFrame.h"
#include "pipeline/stages/RegionSelect.h"
#include "pipeline/capture/TestSceneSource.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int kSceneFrame = 40;

bool Write(const std::filesystem::path& folder, const std::string& name, const cv::Mat& picture)
{
    const std::string path = (folder / (name + ".png")).string();
    bool ok = false;
    try {
        ok = cv::imwrite(path, picture);
    } catch (const cv::Exception&) {
        ok = false;
    }
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    return ok;
}

// The scene as the user sees it by default: mirrored.
cv::Mat Shown()
{
    cv::Mat frame = TestSceneSource::Render(kSceneFrame);
    ApplyFlip(frame, kFlipMirror);
    return frame;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: stagedump FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "stagedump: %s is not a folder\n", argv[1]);
        return 2;
    }
    bool ok = true;
    const cv::Mat raw = TestSceneSource::Render(kSceneFrame);
    ok &= Write(folder, "00-camera", raw);

    const char* flipNames[] = { "flip0-mirrored", "flip1-mirrored-upside-down", "flip2-upside-down", "flip3-as-delivered" };
    for (int mode = 0; mode < 4; ++mode) {
        cv::Mat frame = raw.clone();
        ApplyFlip(frame, mode);
        ok &= Write(folder, flipNames[mode], frame);
    }

    const char* styleNames[] = { "", "style1-black-white", "style2-negative", "style3-sketch", "style4-fine-outline",
        "style5-erode", "style6-grain" };
    GrainRandom random;
    for (int style = 1; style <= 6; ++style) {
        cv::Mat frame = Shown();
        ApplyEffectStyle(frame, style, random);
        ok &= Write(folder, styleNames[style], frame);
    }

    // A region dragged over the right half of the shown picture, then used for the effect and
    // for the zoom.
    const auto region = RegionFromSelection({ 300, 120 }, { 620, 420 }, 1.0f, 1.0f, raw.size(), kFlipMirror);
    if (region) {
        cv::Mat eroded = Shown();
        ApplyErode(eroded, region->effectRect);
        ok &= Write(folder, "region-erode", eroded);
        cv::Mat grained = Shown();
        ApplyGrain(grained, random, region->effectRect);
        ok &= Write(folder, "region-grain", grained);
        cv::Mat sketched = Shown();
        ApplySketch(sketched, region->effectRect);
        ok &= Write(folder, "region-sketch", sketched);
        for (int mode = 0; mode < 4; ++mode) {
            // The same spot of the shown picture, in each flip mode.
            cv::Mat shown = raw.clone();
            ApplyFlip(shown, mode);
            const auto dragged = RegionFromSelection({ 30, 280 }, { 230, 430 }, 1.0f, 1.0f, raw.size(), mode);
            if (!dragged)
                continue;
            cv::rectangle(shown, dragged->effectRect, cv::Scalar(0, 255, 255), 2);
            cv::Mat zoomed(raw.size(), CV_8UC3);
            TakeWorkFrame(raw, zoomed, dragged->zoomRect);
            ApplyFlip(zoomed, mode);
            ok &= Write(folder, "zoom-flip" + std::to_string(mode) + "-dragged", shown);
            ok &= Write(folder, "zoom-flip" + std::to_string(mode) + "-zoomed", zoomed);
        }
    }

    struct Colours {
        const char* name;
        int model;
        ChannelSliders sliders;
    };
    const Colours colours[] = {
        { "colour-rgb-neutral", kColourRgb, {} },
        { "colour-rgb-red-up-blue-down", kColourRgb, { { 0, 1, 2 }, { 60, 100, 160 }, { 100, 100, 130 } } },
        { "colour-hsv-neutral", kColourHsv, {} },
        { "colour-hsv-saturated-bright", kColourHsv, { { 0, 1, 2 }, { 100, 150, 130 }, { 100, 150, 100 } } },
        { "colour-hls-pale", kColourHls, { { 0, 1, 2 }, { 100, 130, 40 }, { 100, 100, 100 } } },
        { "colour-ycrcb-high-contrast", kColourYCrCb, { { 0, 1, 2 }, { 100, 100, 100 }, { 180, 100, 100 } } },
        { "colour-ycrcb-flat", kColourYCrCb, { { 0, 1, 2 }, { 100, 100, 100 }, { 0, 100, 100 } } },
    };
    for (const Colours& c : colours) {
        cv::Mat frame = Shown();
        AdjustChannels(frame, c.model, c.sliders);
        ok &= Write(folder, c.name, frame);
    }

    // Flow: detection on one frame, then a few frames of tracking; a night picture at the end.
    FlowState flow;
    flow.SetColour(ColourFromButton(0x0000FF)); // the ribbon's start colour, red
    flow.RequestDetection();
    cv::Mat frame;
    for (int n = 0; n < 6; ++n) {
        frame = TestSceneSource::Render(kSceneFrame + n);
        ApplyFlip(frame, kFlipMirror);
        TrackFlow(frame, flow);
        if (n == 0)
            ok &= Write(folder, "flow-first-frame-no-dots", frame);
    }
    ok &= Write(folder, "flow-dots", frame);
    flow.SetNight(true);
    frame = TestSceneSource::Render(kSceneFrame + 6);
    ApplyFlip(frame, kFlipMirror);
    TrackFlow(frame, flow);
    ok &= Write(folder, "flow-night", frame);
    std::printf("%d dots\n", flow.PointCount());

    // Doodle: a few strokes, then the whole frame order with a style under it.
    DoodleLayer doodle;
    doodle.Clear(raw.size());
    doodle.BeginStroke({ 60, 60 });
    for (int x = 60; x <= 580; x += 40)
        doodle.ExtendStroke({ x, 60 + ((x / 40) % 2) * 40 }, cv::Scalar(255, 0, 255), 8);
    doodle.EndStroke();
    doodle.BeginStroke({ 100, 400 });
    doodle.ExtendStroke({ 540, 300 }, cv::Scalar(0, 255, 0), 20);
    doodle.EndStroke();
    doodle.BeginStroke({ 100, 440 });
    doodle.ExtendStroke({ 540, 440 }, cv::Scalar(47, 107, 85), 20); // the key colour: invisible
    doodle.EndStroke();
    frame = Shown();
    doodle.Overlay(frame);
    ok &= Write(folder, "doodle", frame);

    PictureSettings settings;
    settings.effectStyle = kEffectSketch;
    settings.doodleShown = true;
    settings.channelsDefault = false;
    settings.colourModel = kColourHsv;
    frame = raw.clone();
    ProcessFrame(frame, settings, flow, doodle, random);
    ok &= Write(folder, "all-stages-sketch-doodle", frame);

    return ok ? 0 : 1;
}
