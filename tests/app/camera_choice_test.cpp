#include "CommandRig.h"

#include "app/CCameraDlg.h"
#include "app/CameraChoice.h"
#include "ui/DialogRunner.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>

#include <filesystem>

namespace {

class FakeCameras : public CameraList {
public:
    std::vector<CameraInfo> Cameras() override { return cameras; }
    std::vector<CameraInfo> cameras;
};

std::vector<CameraInfo> TwoCameras()
{
    return {
        { "HD Webcam @ usb-1", "0", "HD Webcam", { { 320, 240 }, { 640, 480 }, { 1280, 720 } }, {} },
        { "USB Camera @ usb-3", "2", "USB Camera", { { 640, 480 }, { 800, 600 } }, {} },
    };
}

// A source that never opens: the tests only watch what was asked for.
struct Opened {
    std::string spec;
    cv::Size requested;
};

SourceOpener Watch(std::vector<Opened>& opened)
{
    return [&opened](const std::string& spec, cv::Size requested) -> FrameSourceFactory {
        opened.push_back({ spec, requested });
        return [] { return std::unique_ptr<FrameSource>(); };
    };
}

TEST(CameraChoiceTest, WithoutAChoiceCameraZeroOpensAsAlways)
{
    auto cameras = std::make_shared<FakeCameras>();
    cameras->cameras = TwoCameras();
    std::vector<Opened> opened;
    const FrameSourceFactory factory = MakeChosenCameraFactory(cameras, { 1280, 720 }, [] { return QString(); }, Watch(opened));
    factory();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].spec, "0");
    EXPECT_EQ(opened[0].requested, cv::Size()); // nothing asked of the camera beyond what it always got
}

TEST(CameraChoiceTest, TheChosenCameraOpensAtTheConfiguredSizeAndAnAbsentOneFallsBackToCameraZero)
{
    auto cameras = std::make_shared<FakeCameras>();
    cameras->cameras = TwoCameras();
    QString remembered = "USB Camera @ usb-3";
    std::vector<Opened> opened;
    const FrameSourceFactory factory = MakeChosenCameraFactory(cameras, { 800, 600 }, [&] { return remembered; }, Watch(opened));
    factory();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].spec, "2");
    EXPECT_EQ(opened[0].requested, cv::Size(800, 600));

    // Unplugged: the list is asked again at each start, and camera 0 takes its place.
    cameras->cameras.pop_back();
    factory();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].spec, "0");
    EXPECT_EQ(opened[1].requested, cv::Size());
}

TEST(CameraChoiceTest, DialogStartsAtTheRememberedCameraAndSizeAndKeepsTheSizeWhereTheOtherCameraHasIt)
{
    EnsureQtApp();
    CCameraDlg dialog(TwoCameras(), "USB Camera @ usb-3", { 800, 600 });
    EXPECT_EQ(dialog.cameraBox()->count(), 2);
    EXPECT_EQ(dialog.cameraBox()->currentText(), "USB Camera");
    EXPECT_EQ(dialog.sizeBox()->currentText(), QString("800 × 600"));

    dialog.sizeBox()->setCurrentIndex(0); // 640 × 480, which the first camera offers too
    dialog.cameraBox()->setCurrentIndex(0);
    EXPECT_EQ(dialog.sizeBox()->count(), 3);
    EXPECT_EQ(dialog.chosenSize(), cv::Size(640, 480));
    ASSERT_NE(dialog.chosenCamera(), nullptr);
    EXPECT_EQ(dialog.chosenCamera()->id, "HD Webcam @ usb-1");

    // A size this camera lacks: the largest up to 640 × 480.
    CCameraDlg other(TwoCameras(), "unknown", { 1024, 768 });
    EXPECT_EQ(other.cameraBox()->currentIndex(), 0);
    EXPECT_EQ(other.chosenSize(), cv::Size(640, 480));
}

// A USB 2.0 webcam with its table: uncompressed is slow above 640 × 480, Motion-JPEG is not.
CameraInfo WebcamWithTable()
{
    CameraInfo camera { "Cam @ usb-9", "4", "Cam", { { 640, 480 }, { 1280, 720 }, { 1920, 1080 } }, {} };
    camera.modes = { { kFourCcYuyv, false, { 640, 480 }, { 30 } }, { kFourCcYuyv, false, { 1280, 720 }, { 10 } },
        { kFourCcYuyv, false, { 1920, 1080 }, { 5 } }, { kFourCcMjpeg, true, { 1280, 720 }, { 30 } },
        { kFourCcMjpeg, true, { 1920, 1080 }, { 30 } } };
    return camera;
}

TEST(CameraChoiceTest, DialogSaysEachSizesRateAndStartsANewCameraAtItsLargestSmoothSize)
{
    EnsureQtApp();
    CCameraDlg dialog({ WebcamWithTable() }, "", { 640, 480 });
    ASSERT_EQ(dialog.sizeBox()->count(), 3);
    EXPECT_EQ(dialog.sizeBox()->itemText(0), QString("640 × 480 · 30 帧/秒"));
    EXPECT_EQ(dialog.sizeBox()->itemText(2), QString("1920 × 1080 · 30 帧/秒 · 压缩"));
    EXPECT_EQ(dialog.chosenSize(), cv::Size(640, 480)) << "the configured size, which it offers";

    CCameraDlg fresh({ WebcamWithTable() }, "", { 800, 600 });
    EXPECT_EQ(fresh.chosenSize(), cv::Size(1920, 1080));

    // Plugged in while the dialog is open: the list follows, the choice stays.
    std::vector<CameraInfo> more = TwoCameras();
    more.push_back(WebcamWithTable());
    fresh.SetCameras(more);
    EXPECT_EQ(fresh.cameraBox()->count(), 3);
    EXPECT_EQ(fresh.chosenCamera()->id, "Cam @ usb-9");
    EXPECT_EQ(fresh.chosenSize(), cv::Size(1920, 1080));
    fresh.SetCameras({});
    EXPECT_EQ(fresh.chosenCamera(), nullptr);
    EXPECT_FALSE(fresh.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
}

TEST(CameraChoiceTest, DialogWithoutCamerasOffersNothingToConfirm)
{
    EnsureQtApp();
    CCameraDlg dialog({}, "", { 640, 480 });
    EXPECT_FALSE(dialog.buttons()->button(QDialogButtonBox::Ok)->isEnabled());
    EXPECT_EQ(dialog.chosenCamera(), nullptr);
    EXPECT_FALSE(dialog.chosenSize().has_value());
}

class CameraChoiceRowTest : public CommandRig {
protected:
    void SetUp() override
    {
        CommandRig::SetUp();
        cameras = std::make_shared<FakeCameras>();
        cameras->cameras = TwoCameras();
        context->cameras = cameras;
        RememberCamera(QString());
    }
    void TearDown() override
    {
        RememberCamera(QString());
        CommandRig::TearDown();
    }
    std::shared_ptr<FakeCameras> cameras;
};

TEST_F(CameraChoiceRowTest, ConfirmedChoiceIsRememberedAndItsSizeStoredForTheNextStart)
{
    ScopedDialogRunner runner([](QDialog& d) {
        auto& dialog = dynamic_cast<CCameraDlg&>(d);
        dialog.cameraBox()->setCurrentIndex(0);
        dialog.sizeBox()->setCurrentIndex(2); // 1280 × 720
        return int(QDialog::Accepted);
    });
    Run(ID_BUTTON_CAMERA_CHOICE);
    EXPECT_EQ(RememberedCamera(), "HD Webcam @ usb-1");
    AppFolders loadedFolders = AppFolders::FromAppDir(folders.appDir);
    SettingsValues next;
    ASSERT_TRUE(LoadSettings(loadedFolders, next).ok());
    EXPECT_EQ(next.imageWidth, 1280);
    EXPECT_EQ(next.imageHeight, 720);
    EXPECT_EQ(next.cameraDetected, 1); // the next start does not measure over the choice
    EXPECT_EQ(values.imageWidth, 640); // this run keeps its size
    EXPECT_TRUE(status.contains("HD Webcam")) << status.toStdString();
}

TEST_F(CameraChoiceRowTest, CancelChangesNothing)
{
    const std::string before = WorkbookBytes();
    ScopedDialogRunner runner([](QDialog& d) {
        dynamic_cast<CCameraDlg&>(d).cameraBox()->setCurrentIndex(1);
        return int(QDialog::Rejected);
    });
    Run(ID_BUTTON_CAMERA_CHOICE);
    EXPECT_TRUE(RememberedCamera().isEmpty());
    EXPECT_EQ(WorkbookBytes(), before);
}

TEST_F(CameraChoiceRowTest, AReadOnlyWorkbookIsNamedAsSuchAndLeftAsItWas)
{
    const std::filesystem::path workbook = SettingsWorkbookPath(folders.systemDir);
    std::filesystem::permissions(workbook, std::filesystem::perms::owner_read | std::filesystem::perms::group_read
                                               | std::filesystem::perms::others_read);
    if (SettingsFileWritable(workbook))
        GTEST_SKIP() << "this process may write files without write permission (root)";
    const std::string before = WorkbookBytes();
    ScopedDialogRunner runner([](QDialog& d) {
        auto& dialog = dynamic_cast<CCameraDlg&>(d);
        dialog.cameraBox()->setCurrentIndex(0);
        dialog.sizeBox()->setCurrentIndex(2); // 1280 × 720
        return int(QDialog::Accepted);
    });
    Run(ID_BUTTON_CAMERA_CHOICE);
    EXPECT_EQ(RememberedCamera(), "HD Webcam @ usb-1");
    EXPECT_TRUE(status.contains(QString::fromUtf8("配置文件是只读的"))) << status.toStdString();
    EXPECT_EQ(WorkbookBytes(), before);
}

} // namespace
