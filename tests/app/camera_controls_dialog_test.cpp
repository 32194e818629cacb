#include "CommandRig.h"
#include "FakeControlDevice.h"

#include "app/CCameraControlsDlg.h"
#include "app/CameraChoice.h"
#include "app/CameraControlMemory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSlider>

#include <map>
#include <memory>
#include <string>

namespace {

const CameraInfo kWebcam { "HD Webcam @ usb-0000:00:14.0-1", "0", "HD Webcam", {} };
const CameraInfo kWebcamMoved { "HD Webcam @ usb-0000:00:14.0-3", "2", "HD Webcam", {} };
const CameraInfo kOther { "USB Camera @ usb-0000:00:14.0-2", "1", "USB Camera", {} };

using Values = std::map<std::string, int>;

class CameraControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        QSettings().remove("CameraControls");
    }
    void TearDown() override { QSettings().remove("CameraControls"); }
};

TEST_F(CameraControlsTest, ValuesAreRememberedPerCameraAndFoundByNameAtAnotherPort)
{
    RememberControl(kWebcam, "brightness", 20);
    RememberControl(kWebcam, "contrast", 40);
    EXPECT_EQ(RememberedControls(kWebcam), (Values { { "brightness", 20 }, { "contrast", 40 } }));
    EXPECT_EQ(RememberedControls(kWebcamMoved), (Values { { "brightness", 20 }, { "contrast", 40 } }));
    EXPECT_TRUE(RememberedControls(kOther).empty());

    // One change at the new port keeps the other values the name brought along.
    RememberControl(kWebcamMoved, "brightness", -5);
    EXPECT_EQ(RememberedControls(kWebcamMoved), (Values { { "brightness", -5 }, { "contrast", 40 } }));
    EXPECT_EQ(RememberedControls(kWebcam), (Values { { "brightness", 20 }, { "contrast", 40 } }));

    // An identifier with the separators of the settings file in it is one camera all the same.
    const CameraInfo pathOnly { "Cam @ /dev/video0", "0", "Cam", {} };
    RememberControl(pathOnly, "zoom", 200);
    EXPECT_EQ(RememberedControls(pathOnly), (Values { { "zoom", 200 } }));

    ForgetControls(kWebcamMoved);
    EXPECT_TRUE(RememberedControls(kWebcamMoved).empty());
    EXPECT_EQ(RememberedControls(pathOnly), (Values { { "zoom", 200 } }));
}

TEST_F(CameraControlsTest, RememberedValuesReachTheCameraModesFirst)
{
    RememberControl(kWebcam, "exposure_time", 300);
    RememberControl(kWebcam, "exposure_automatic", 1);
    RememberControl(kWebcam, "brightness", 12);
    FakeControlDevice device;
    ApplyRememberedControls(kWebcamMoved, device);
    EXPECT_EQ(device.Value("exposure_automatic"), 1);
    EXPECT_EQ(device.Value("exposure_time"), 300);
    EXPECT_EQ(device.Value("brightness"), 12);

    FakeControlDevice untouched;
    ApplyRememberedControls(kOther, untouched);
    EXPECT_TRUE(untouched.sets.empty());
}

class CameraControlsDialogTest : public CameraControlsTest {
protected:
    // The dialog over a fake camera that the test keeps a hand on.
    std::unique_ptr<CCameraControlsDlg> Open(const CameraInfo* camera = &kWebcam)
    {
        auto owned = std::make_unique<FakeControlDevice>();
        device = owned.get();
        return std::make_unique<CCameraControlsDlg>(camera, std::move(owned));
    }
    FakeControlDevice* device = nullptr;
};

TEST_F(CameraControlsDialogTest, AChangeActsOnTheCameraAtOnceAndIsRemembered)
{
    const auto dialog = Open();
    ASSERT_TRUE(dialog->showsControls());
    QSlider* brightness = dialog->slider("brightness");
    ASSERT_NE(brightness, nullptr);
    EXPECT_EQ(dialog->slider("saturation"), nullptr); // the camera lacks it
    EXPECT_EQ(dialog->valueLabel("brightness")->text(), "0");

    brightness->setValue(dialog->SliderPosition("brightness", 20));
    EXPECT_EQ(device->Value("brightness"), 20);
    EXPECT_EQ(dialog->valueLabel("brightness")->text(), "20");
    EXPECT_EQ(RememberedControls(kWebcam), (Values { { "brightness", 20 } }));

    // A slider moves in the control's own steps.
    dialog->checkBox("focus_automatic")->setChecked(false);
    dialog->slider("focus_distance")->setValue(dialog->slider("focus_distance")->value() + 3);
    EXPECT_EQ(device->Value("focus_distance"), 15);

    QComboBox* mains = dialog->menuBox("power_line_frequency");
    ASSERT_NE(mains, nullptr);
    EXPECT_EQ(mains->currentText(), "50 Hz");
    EXPECT_EQ(mains->itemText(0), "禁用");
    EXPECT_FALSE(mains->toolTip().isEmpty());
    mains->setCurrentIndex(2);
    EXPECT_EQ(device->Value("power_line_frequency"), 2);
    EXPECT_EQ(RememberedControls(kWebcam).at("power_line_frequency"), 2);
    EXPECT_FALSE(dialog->message()->isVisibleTo(dialog.get()));
}

TEST_F(CameraControlsDialogTest, AutomaticBoxesGreyAndFreeTheValuesTheyTakeOver)
{
    const auto dialog = Open();
    QCheckBox* automatic = dialog->checkBox("exposure_automatic");
    QSlider* time = dialog->slider("exposure_time");
    ASSERT_NE(automatic, nullptr);
    ASSERT_NE(time, nullptr);
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_FALSE(time->isEnabled());
    EXPECT_FALSE(dialog->slider("white_balance_temperature")->isEnabled());

    automatic->setChecked(false);
    EXPECT_EQ(device->Value("exposure_automatic"), 1);
    EXPECT_TRUE(time->isEnabled());
    time->setValue(dialog->SliderPosition("exposure_time", 300));
    EXPECT_EQ(device->Value("exposure_time"), 300);

    automatic->setChecked(true);
    EXPECT_EQ(device->Value("exposure_automatic"), 3);
    EXPECT_FALSE(time->isEnabled());
    EXPECT_EQ(RememberedControls(kWebcam), (Values { { "exposure_automatic", 3 }, { "exposure_time", 300 } }));
}

TEST_F(CameraControlsDialogTest, RestoringDefaultsForgetsTheCamerasValuesAndSetsItsDefaults)
{
    const auto dialog = Open();
    dialog->slider("brightness")->setValue(dialog->SliderPosition("brightness", 30));
    dialog->checkBox("exposure_automatic")->setChecked(false);
    dialog->slider("exposure_time")->setValue(dialog->SliderPosition("exposure_time", 300));

    dialog->defaultsButton()->click();
    for (const CameraControl& control : device->controls)
        EXPECT_EQ(control.value, control.defaultValue) << control.key;
    EXPECT_TRUE(RememberedControls(kWebcam).empty());
    EXPECT_TRUE(RememberedControls(kWebcamMoved).empty());
    EXPECT_EQ(dialog->slider("brightness")->value(), dialog->SliderPosition("brightness", 0));
    EXPECT_TRUE(dialog->checkBox("exposure_automatic")->isChecked());
    EXPECT_FALSE(dialog->slider("exposure_time")->isEnabled());
}

TEST_F(CameraControlsDialogTest, ARefusedChangeIsSaidAndNotRemembered)
{
    const auto dialog = Open();
    device->refusing = "contrast";
    dialog->slider("contrast")->setValue(dialog->SliderPosition("contrast", 50));
    EXPECT_TRUE(dialog->message()->isVisibleTo(dialog.get()));
    EXPECT_FALSE(dialog->message()->text().isEmpty());
    EXPECT_EQ(dialog->slider("contrast")->value(), dialog->SliderPosition("contrast", 32)); // back where the camera is
    EXPECT_TRUE(RememberedControls(kWebcam).empty());
}

TEST_F(CameraControlsDialogTest, WithoutACameraOrWithOneUnpluggedTheDialogSaysSoInstead)
{
    const CCameraControlsDlg none(nullptr, std::make_unique<FakeControlDevice>());
    EXPECT_FALSE(none.showsControls());
    EXPECT_FALSE(none.message()->text().isEmpty());
    EXPECT_FALSE(none.defaultsButton()->isEnabled());

    auto unplugged = std::make_unique<FakeControlDevice>();
    unplugged->gone = true;
    const CCameraControlsDlg gone(&kWebcam, std::move(unplugged));
    EXPECT_FALSE(gone.showsControls());
    EXPECT_TRUE(gone.message()->text().contains("HD Webcam")) << gone.message()->text().toStdString();

    // Unplugged while the dialog is open: the next change finds it gone.
    const auto dialog = Open();
    device->gone = true;
    dialog->slider("brightness")->setValue(dialog->SliderPosition("brightness", 10));
    EXPECT_FALSE(dialog->showsControls());
    EXPECT_TRUE(dialog->message()->text().contains("HD Webcam"));
    EXPECT_FALSE(dialog->defaultsButton()->isEnabled());
    EXPECT_TRUE(RememberedControls(kWebcam).empty());
}

class CameraSettingsRowTest : public CommandRig {
protected:
    class PresentCameras : public CameraList {
    public:
        std::vector<CameraInfo> Cameras() override { return present; }
        std::vector<CameraInfo> present;
    };
    void SetUp() override
    {
        CommandRig::SetUp();
        context->cameras = cameras;
        RememberCamera(QString());
    }
    void TearDown() override
    {
        RememberCamera(QString());
        CommandRig::TearDown();
    }
    std::shared_ptr<PresentCameras> cameras = std::make_shared<PresentCameras>();
};

// The settings are for the chosen camera where it is present, else for the first one, and the
// dialog opens without a camera too, to say so.
TEST_F(CameraSettingsRowTest, OpensForTheChosenCameraElseTheFirstElseNone)
{
    cameras->present = { kOther, kWebcam };
    RememberCamera(QString::fromStdString(kWebcam.id));
    Run(ID_BUTTON_CAMERA_SETTINGS);
    EXPECT_EQ(window.cameraSettingsFor, kWebcam.id);

    RememberCamera(QString::fromStdString(kWebcamMoved.id));
    Run(ID_BUTTON_CAMERA_SETTINGS);
    EXPECT_EQ(window.cameraSettingsFor, kOther.id);

    cameras->present.clear();
    Run(ID_BUTTON_CAMERA_SETTINGS);
    EXPECT_EQ(window.cameraSettingsFor, "");
    EXPECT_EQ(window.cameraSettingsDialogs, 3);

    context->session = nullptr; // the document closed: the camera's settings are still at hand
    context->pane = nullptr;
    EXPECT_TRUE(Update(ID_BUTTON_CAMERA_SETTINGS).enabled);
}

} // namespace
