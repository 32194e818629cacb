#include "FakeCameraRig.h"

#include "pipeline/capture/CameraControls.h"

#include <linux/videodev2.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The V4L2 controls of the fake webcam, which follows uvcvideo's rules (an inactive control
// refuses a value, a gap in a menu is EINVAL).
class CameraControlsTest : public FakeCameraRig {
protected:
    void SetUp() override
    {
        FakeCameraRig::SetUp();
        device = MakeV4l2ControlDevice(kDevice);
        ASSERT_NE(device, nullptr);
    }

    CameraControl Read(const std::string& key)
    {
        const CameraControlQuery query = device->Query();
        EXPECT_EQ(query.outcome, CameraControlOutcome::Done);
        const CameraControl* control = FindControl(query.controls, key);
        EXPECT_NE(control, nullptr) << key;
        return control != nullptr ? *control : CameraControl {};
    }

    std::unique_ptr<CameraControlDevice> device;
};

TEST_F(CameraControlsTest, QueryListsTheControlsWithTheirRangesMenusAndStates)
{
    const CameraControlQuery query = device->Query();
    ASSERT_EQ(query.outcome, CameraControlOutcome::Done);
    std::vector<std::string> keys;
    for (const CameraControl& control : query.controls)
        keys.push_back(control.key);
    // Every control of the camera, in the dialog's order rather than the driver's.
    EXPECT_EQ(keys, (std::vector<std::string> { "brightness", "contrast", "saturation", "hue", "sharpness", "gamma",
                        "white_balance_automatic", "white_balance_temperature", "exposure_automatic", "exposure_time",
                        "backlight_compensation", "power_line_frequency", "focus_automatic", "focus_distance", "zoom" }));

    const CameraControl& brightness = *FindControl(query.controls, "brightness");
    EXPECT_EQ(brightness.kind, CameraControlKind::Integer);
    EXPECT_EQ(brightness.minimum, -64);
    EXPECT_EQ(brightness.maximum, 64);
    EXPECT_EQ(brightness.defaultValue, 0);
    EXPECT_FALSE(brightness.inactive);
    EXPECT_EQ(FindControl(query.controls, "focus_distance")->step, 5);
    EXPECT_EQ(FindControl(query.controls, "focus_automatic")->kind, CameraControlKind::Boolean);

    const CameraControl& mains = *FindControl(query.controls, "power_line_frequency");
    ASSERT_EQ(mains.kind, CameraControlKind::Menu);
    ASSERT_EQ(mains.entries.size(), 3u);
    EXPECT_EQ(mains.entries[1].value, 1);
    EXPECT_EQ(mains.entries[1].name, "50 Hz");
    EXPECT_EQ(mains.value, 1);

    // The exposure menu skips index 2: an absent entry, not the end of the menu.
    const CameraControl& exposure = *FindControl(query.controls, "exposure_automatic");
    ASSERT_EQ(exposure.entries.size(), 2u);
    EXPECT_EQ(exposure.entries[0].value, V4L2_EXPOSURE_MANUAL);
    EXPECT_EQ(exposure.entries[1].value, V4L2_EXPOSURE_APERTURE_PRIORITY);
    EXPECT_TRUE(AutomaticOn(exposure));
    EXPECT_EQ(AutomaticValue(exposure, true), V4L2_EXPOSURE_APERTURE_PRIORITY);
    EXPECT_EQ(AutomaticValue(exposure, false), V4L2_EXPOSURE_MANUAL);

    // The camera starts automatic: the values the modes take over are greyed.
    EXPECT_TRUE(FindControl(query.controls, "exposure_time")->inactive);
    EXPECT_TRUE(FindControl(query.controls, "white_balance_temperature")->inactive);
    EXPECT_TRUE(FindControl(query.controls, "focus_distance")->inactive);
}

TEST_F(CameraControlsTest, AutomaticExposureGreysTheTimeAndManualFreesIt)
{
    ASSERT_EQ(device->Set("exposure_automatic", V4L2_EXPOSURE_MANUAL), CameraControlOutcome::Done);
    EXPECT_FALSE(Read("exposure_time").inactive);
    ASSERT_EQ(device->Set("exposure_time", 300), CameraControlOutcome::Done);
    EXPECT_EQ(Read("exposure_time").value, 300);

    ASSERT_EQ(device->Set("exposure_automatic", V4L2_EXPOSURE_APERTURE_PRIORITY), CameraControlOutcome::Done);
    EXPECT_TRUE(Read("exposure_time").inactive);
    EXPECT_EQ(device->Set("exposure_time", 400), CameraControlOutcome::Inactive);
    EXPECT_EQ(Read("exposure_time").value, 300);
}

TEST_F(CameraControlsTest, RefusedValuesGiveOutcomesAndLeaveTheControlAsItWas)
{
    ASSERT_EQ(device->Set("brightness", 20), CameraControlOutcome::Done);
    EXPECT_EQ(device->Set("brightness", 65), CameraControlOutcome::OutOfRange);     // uvcvideo would clamp
    EXPECT_EQ(device->Set("focus_automatic", 0), CameraControlOutcome::Done);
    EXPECT_EQ(device->Set("focus_distance", 7), CameraControlOutcome::OutOfRange);  // off the steps of 5
    EXPECT_EQ(device->Set("power_line_frequency", 3), CameraControlOutcome::OutOfRange);
    EXPECT_EQ(device->Set("exposure_automatic", 2), CameraControlOutcome::OutOfRange); // the gap in the menu
    EXPECT_EQ(device->Set("gain", 1), CameraControlOutcome::NoSuchControl);
    EXPECT_EQ(Read("brightness").value, 20);
    EXPECT_EQ(Read("focus_distance").value, 0);
    EXPECT_EQ(Read("power_line_frequency").value, 1);
}

TEST_F(CameraControlsTest, AnUnpluggedCameraGivesNoControlsAndAnswersAgainWhenBack)
{
    ASSERT_EQ(device->Query().outcome, CameraControlOutcome::Done); // the handle is open
    Tell("unplugged=1\n");
    const CameraControlQuery gone = device->Query();
    EXPECT_EQ(gone.outcome, CameraControlOutcome::CameraGone);
    EXPECT_TRUE(gone.controls.empty());
    EXPECT_EQ(device->Set("brightness", 10), CameraControlOutcome::CameraGone);
    EXPECT_EQ(MakeV4l2ControlDevice(kDevice)->Query().outcome, CameraControlOutcome::CameraGone);

    Tell("unplugged=0\n");
    EXPECT_EQ(device->Set("brightness", 10), CameraControlOutcome::Done);
    EXPECT_EQ(Read("brightness").value, 10);

    EXPECT_EQ(MakeV4l2ControlDevice("/dev/video-none")->Query().outcome, CameraControlOutcome::CameraGone);
}

// Remembered values reach the camera in an order it accepts: the mode before the value it greys,
// and a value the remembered mode greys is left alone.
TEST_F(CameraControlsTest, ValuesAreAppliedModesFirst)
{
    const auto outcomes = ApplyControlValues(*device,
        { { "exposure_time", 250 }, { "exposure_automatic", V4L2_EXPOSURE_MANUAL }, { "white_balance_temperature", 3000 },
            { "white_balance_automatic", 1 }, { "brightness", -10 } });
    std::map<std::string, CameraControlOutcome> by(outcomes.begin(), outcomes.end());
    EXPECT_EQ(by["exposure_automatic"], CameraControlOutcome::Done);
    EXPECT_EQ(by["exposure_time"], CameraControlOutcome::Done);
    EXPECT_EQ(by["white_balance_temperature"], CameraControlOutcome::Inactive);
    EXPECT_EQ(by["brightness"], CameraControlOutcome::Done);
    EXPECT_EQ(Read("exposure_time").value, 250);
    EXPECT_EQ(Read("white_balance_temperature").value, 4600);
}

// Defaults come back everywhere, also behind an automatic mode that was on.
TEST_F(CameraControlsTest, RestoringDefaultsResetsValuesBehindAutomaticModesToo)
{
    ASSERT_EQ(device->Set("white_balance_automatic", 0), CameraControlOutcome::Done);
    ASSERT_EQ(device->Set("white_balance_temperature", 3000), CameraControlOutcome::Done);
    ASSERT_EQ(device->Set("white_balance_automatic", 1), CameraControlOutcome::Done);
    ASSERT_EQ(device->Set("exposure_automatic", V4L2_EXPOSURE_MANUAL), CameraControlOutcome::Done);
    ASSERT_EQ(device->Set("exposure_time", 250), CameraControlOutcome::Done);
    ASSERT_EQ(device->Set("zoom", 300), CameraControlOutcome::Done);

    EXPECT_EQ(RestoreControlDefaults(*device), CameraControlOutcome::Done);
    const CameraControlQuery query = device->Query();
    for (const CameraControl& control : query.controls)
        EXPECT_EQ(control.value, control.defaultValue) << control.key;

    Tell("unplugged=1\n");
    EXPECT_EQ(RestoreControlDefaults(*device), CameraControlOutcome::CameraGone);
}

} // namespace
