#include "WholeFrameDigest.h"

#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/ZoomCut.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

struct Case {
    cv::Size size;
    int colourModel;
    int effectStyle;
    std::array<std::uint64_t, 9> digests; // stages, picture, display of three frames
};

// The bytes every stage gave before the stages were made faster, pinned: faster forms must give
// exactly the same pictures, at 1080p, at odd sizes and through three frames of grain and dots.
const Case kCases[] = {
    { { 1920, 1080 }, kColourHsv, kEffectGrain,
        { 0x94b0c7004e854a25ull, 0x68cf540442d6795eull, 0x3b33e528dbf508fbull,
            0x7fdba30cfbcbc3dbull, 0xe4d3f26a6b3b9989ull, 0x6274b3112e36779dull,
            0x6369a504249ff57bull, 0x3eec5c36491b5536ull, 0xce2105f900af0186ull } },
    { { 1920, 1080 }, kColourHls, kEffectGrain,
        { 0x91d72866cb09bd3aull, 0x9689090bb6927adfull, 0x17d576cebff6a43aull,
            0xe786995f976cc902ull, 0x7081afcf28c78196ull, 0x059fea56e6de196aull,
            0x8ae18bbd5f7f8bf5ull, 0x0aaeb86125e553deull, 0x93c4642b39c345f0ull } },
    { { 641, 479 }, kColourHsv, kEffectGrain,
        { 0x9803fb86317280c3ull, 0x31a2cd0ec5fdcc76ull, 0xd0d8e418d4036620ull,
            0x1dcef5da4140d2bdull, 0x6fc3d079ec0d514cull, 0x8f19d89cea066324ull,
            0x2e90d2c94c1d7b26ull, 0x3ef7d009c71dc4efull, 0xe6194a82292ae2b4ull } },
    { { 641, 479 }, kColourHls, kEffectFineOutline,
        { 0xed653eeb5d92f581ull, 0x1e83e642e7e7ac9aull, 0x98e15899403c3257ull,
            0x1953695e4d988e22ull, 0xaa2fb1a049827651ull, 0x08a2a073db7244e5ull,
            0x9cacf7be7f93a19dull, 0xb0e0d12b9877b144ull, 0x045887200e576117ull } },
    { { 641, 479 }, kColourYCrCb, kEffectGrain,
        { 0xda493db28d706124ull, 0x9d203f74e317667dull, 0x540407dd9cce9854ull,
            0xe912fd91bcf85659ull, 0x44c5e31e19ec20c2ull, 0x4121e5db25de074bull,
            0xbd18ff0dcd6b3cbfull, 0xf79b6f8dfc5424f5ull, 0x2ceca7887dfc7f09ull } },
    { { 641, 479 }, kColourRgb, kEffectNegative,
        { 0xb5362c2d40dc4b30ull, 0x94561a2db1607814ull, 0xd3783bcdda8579e7ull,
            0xeeaeac09c63ad83eull, 0xa3788b305b933f19ull, 0x3632be2b32a07a8bull,
            0x61dcfcabad9ec0a6ull, 0x59dfba2d186113b0ull, 0x71ebeb1f156901efull } },
    { { 97, 61 }, kColourHsv, kEffectGrain,
        { 0x62899acf255cc824ull, 0x64986bb7f237ab1cull, 0xdf1898455d8988c0ull,
            0x70c969952088a2bcull, 0xafbdbca530f28c46ull, 0xd978a42320a16e0cull,
            0x9a4b54dc2cddaf4eull, 0x3a6859b03cf13eadull, 0x50fb9aebea4f336bull } },
    { { 97, 61 }, kColourHls, kEffectFineOutline,
        { 0xb31cc7e65da9faa2ull, 0x24a263e803e92546ull, 0xe1d673ba36b57366ull,
            0xf66844bbc411f188ull, 0xd32f3d0ffc266ac6ull, 0xf067e9a37876ea16ull,
            0xfadf1d9be01e1d23ull, 0xf18a3e997911fda6ull, 0x102997453eb7864cull } },
    { { 97, 61 }, kColourYCrCb, kEffectGrain,
        { 0x3c5d92c216702226ull, 0x1d5c1a1ec6ed3d64ull, 0x5693c8b6341d744full,
            0x7f65a6825c76f497ull, 0x3fc0cd83ff1ff0f0ull, 0x9a27e9f9244a8bccull,
            0x7e6e8e067c366fafull, 0x05ddbfedb037cef9ull, 0x97115f4c1f04e3e0ull } },
    { { 97, 61 }, kColourRgb, kEffectNegative,
        { 0xdd1e5dc786e91652ull, 0x705049bdf9b9cd5dull, 0x6ca92c1364ea8da2ull,
            0x1d37649ac0535b6aull, 0x7911cb0799df41cdull, 0x5dd5698e20c2310eull,
            0xf964a1dd71bb1b33ull, 0x4845cbe9437d48bdull, 0x7f9016945fe2b5ecull } },
};

TEST(WholeFrame, EveryStageOnGivesThePinnedBytes)
{
    std::uint64_t seed = 100;
    for (const Case& c : kCases) {
        const std::vector<std::uint64_t> digests = whole_frame::Digests(c.size, c.colourModel, c.effectStyle, seed++);
        ASSERT_EQ(digests.size(), c.digests.size());
        for (std::size_t i = 0; i < digests.size(); ++i)
            EXPECT_EQ(digests[i], c.digests[i]) << c.size << " model " << c.colourModel << " style " << c.effectStyle
                                               << " frame " << i / 3 << " step " << i % 3;
    }
}

TEST(WholeFrame, TakingWithTheFlipEqualsTakingThenProcessing)
{
    // Every flip, with the frame copied, cut by a zoom, or scaled from another camera size; grain
    // and the HSV sliders on so that any pixel out of place shows.
    const cv::Mat raw = RandomFrame(161, 97, 5);
    const std::optional<cv::Rect> zooms[] = { std::nullopt, cv::Rect(20, 10, 60, 40) };
    for (int flip : { kFlipMirror, kFlipMirrorUpsideDown, kFlipUpsideDown, kFlipNone }) {
        for (const cv::Size workSize : { cv::Size(161, 97), cv::Size(120, 90) }) {
            for (const std::optional<cv::Rect>& zoom : zooms) {
                PictureSettings settings;
                settings.flipMode = static_cast<FlipMode>(flip);
                settings.channelsDefault = false;
                settings.colourModel = kColourHsv;
                settings.sliders.brightness = { 100, 140, 70 };
                settings.effectStyle = kEffectGrain;
                FlowState flow[2];
                DoodleLayer doodle[2];
                GrainRandom random[2];
                cv::Mat oneStep(workSize, CV_8UC3, cv::Scalar::all(0));
                cv::Mat steps = oneStep.clone();
                TakeAndProcessFrame(raw, oneStep, zoom, settings, flow[0], doodle[0], random[0]);
                TakeWorkFrame(raw, steps, zoom);
                ProcessFrame(steps, settings, flow[1], doodle[1], random[1]);
                EXPECT_TRUE(SameBytes(oneStep, steps)) << "flip " << flip << " size " << workSize << " zoom "
                                                       << zoom.has_value();
            }
        }
    }
}

} // namespace
