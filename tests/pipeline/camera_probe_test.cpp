#include "QtTestApp.h"
#include "ScriptedSource.h"

#include "pipeline/capture/CameraProbe.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace {

class CameraProbeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        state = std::make_shared<ScriptedSourceState>();
    }

    // Frames of the given size; the source reports reportedW × reportedH.
    void Camera(int frameW, int frameH, int reportedW, int reportedH)
    {
        state->frameFor = [frameW, frameH](int) { return cv::Mat(frameH, frameW, CV_8UC3, cv::Scalar(1, 2, 3)); };
        state->reportedWidth = reportedW;
        state->reportedHeight = reportedH;
    }

    CameraProbeResult Probe(bool storeSucceeds = true)
    {
        return ProbeCamera(ScriptedFactory(state), [this, storeSucceeds](int w, int h) {
            stored = std::make_pair(w, h);
            // The camera must already be let go when the settings are written.
            liveWhileStoring = state->liveSources;
            return storeSucceeds;
        });
    }

    void ExpectReleased() const
    {
        EXPECT_EQ(state->liveSources, 0);
        EXPECT_EQ(state->releases, state->opens);
    }

    std::shared_ptr<ScriptedSourceState> state;
    std::optional<std::pair<int, int>> stored;
    int liveWhileStoring = -1;
};

TEST_F(CameraProbeTest, StoresTheReportedSizeAfterReleasingTheCamera)
{
    Camera(320, 240, 320, 240);
    const CameraProbeResult result = Probe();
    EXPECT_EQ(result.outcome, CameraProbeResult::Stored);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, std::make_pair(320, 240));
    EXPECT_EQ(liveWhileStoring, 0);
    EXPECT_EQ(state->opens, 1);
    EXPECT_GE(state->reads, 1);
    ExpectReleased();
}

TEST_F(CameraProbeTest, SourceReportingNoSizeIsMeasuredByItsPicture)
{
    Camera(352, 288, 0, 0);
    EXPECT_EQ(Probe().outcome, CameraProbeResult::Stored);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, std::make_pair(352, 288));

    // Only one of the two reported: still no size to trust.
    stored.reset();
    Camera(176, 144, 640, 0);
    Probe();
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, std::make_pair(176, 144));
    ExpectReleased();
}

TEST_F(CameraProbeTest, NoCameraOrNothingToMeasureStoresNothing)
{
    state->openSucceeds = false;
    EXPECT_EQ(Probe().outcome, CameraProbeResult::NoCamera);
    EXPECT_FALSE(stored);
    ExpectReleased();

    // Opens, but neither reports a size nor delivers a picture: a 0 × 0 size must never be
    // stored with the mark that stops the next start from measuring again.
    state->openSucceeds = true;
    state->frameFor = [](int) { return cv::Mat(); };
    state->reportedWidth = 0;
    state->reportedHeight = 0;
    EXPECT_EQ(Probe().outcome, CameraProbeResult::NoCamera);
    EXPECT_FALSE(stored);
    EXPECT_GT(state->reads, 1) << "an empty first frame is not the end of it";
    ExpectReleased();

    // A source that delivers no picture but reports its size is measured by the report.
    state->reportedWidth = 800;
    state->reportedHeight = 600;
    EXPECT_EQ(Probe().outcome, CameraProbeResult::Stored);
    EXPECT_EQ(stored, std::make_pair(800, 600));
    ExpectReleased();
}

} // namespace
