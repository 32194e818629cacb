#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/AppFolders.h"
#include "app/CParvelWebcamView.h"
#include "pipeline/PictureSession.h"
#include "pipeline/CWebcamCtl.h"
#include "settings/ExcelDocument.h"
#include "settings/SettingsWorkbook.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::vector<char> ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), {});
}

class FirstRunProbeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        folders = AppFolders::FromAppDir(dir.path().toStdString());
        fs::create_directories(folders.systemDir);
        state = std::make_shared<ScriptedSourceState>();
        values.cameraDetected = 0; // the first run
    }

    fs::path Workbook() const { return SettingsWorkbookPath(folders.systemDir); }

    // A workbook as shipped: the delay set, no camera measured yet.
    void MakeWorkbook()
    {
        ExcelDocument doc;
        doc.NewBook({ u"Sheet1" });
        doc.SheetAt(0)->CellAt(7, 1)->SetInteger(5);
        ASSERT_TRUE(doc.WriteBook(Workbook()).ok());
    }

    // The camera delivers w × h pictures and reports that size.
    void Camera(int w, int h)
    {
        state->reportedWidth = w;
        state->reportedHeight = h;
        state->frameFor = [w, h](int) { return cv::Mat(h, w, CV_8UC3, cv::Scalar(9, 9, 9)); };
    }

    std::unique_ptr<CParvelWebcamView> ShowView()
    {
        auto view = std::make_unique<CParvelWebcamView>(folders, values, ScriptedFactory(state));
        view->resize(640, 540);
        view->show();
        return view;
    }

    SettingsValues LoadedAtNextStart()
    {
        AppFolders next = AppFolders::FromAppDir(dir.path().toStdString());
        SettingsValues loaded;
        EXPECT_TRUE(LoadSettings(next, loaded).ok());
        return loaded;
    }

    QTemporaryDir dir;
    AppFolders folders;
    SettingsValues values;
    std::shared_ptr<ScriptedSourceState> state;
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes install { boxes };
};

TEST_F(FirstRunProbeTest, StoresTheCameraSizeAndUsesItInThisRunAlready)
{
    MakeWorkbook();
    Camera(320, 240);
    auto view = std::make_unique<CParvelWebcamView>(folders, values, ScriptedFactory(state));
    bool pictureShownWhileProbing = true;
    CWebcamCtl* webcam = view->webcam();
    state->frameFor = [&](int) {
        pictureShownWhileProbing = webcam->isVisible();
        return cv::Mat(240, 320, CV_8UC3, cv::Scalar(9, 9, 9));
    };
    view->resize(640, 540);
    view->show();

    EXPECT_FALSE(pictureShownWhileProbing) << "measured before the image area is shown";
    EXPECT_EQ(state->opens, 1);
    EXPECT_EQ(state->liveSources, 0) << "the camera is let go after measuring";
    EXPECT_EQ(webcam->pictureWidth(), 320);
    EXPECT_EQ(webcam->pictureHeight(), 240);
    EXPECT_EQ(webcam->geometry(), QRect(0, 0, 320, 240));
    EXPECT_EQ(view->movieRect().top(), 240) << "the welcome strip right under the measured picture";

    const SettingsValues next = LoadedAtNextStart();
    EXPECT_EQ(next.imageWidth, 320);
    EXPECT_EQ(next.imageHeight, 240);
    EXPECT_EQ(next.cameraDetected, 1);
    EXPECT_EQ(next.delaySeconds, 5) << "the rest of the workbook is kept";

    // Told once the window is up, not in the middle of showing it.
    EXPECT_TRUE(boxes.shown.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QString("已自动检测到设备\n下次启动将您将不会看到此提示框~"));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(boxes.shown[0].caption, QString("乐影屋"));

    // The camera is free for the user's start.
    {
        std::scoped_lock lock(state->mutex);
        state->frameFor = {};
    }
    ASSERT_TRUE(webcam->session().Start());
    EXPECT_EQ(state->maxLiveSources, 1);
    webcam->session().Stop();
}

TEST_F(FirstRunProbeTest, NoCameraAsksAndStoresNothingSoTheNextStartTriesAgain)
{
    MakeWorkbook();
    const auto before = ReadFile(Workbook());
    state->openSucceeds = false;
    auto view = ShowView();
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QString("未找到摄像设备\n内置摄像头是否禁用或USB摄像头未插入?"));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(ReadFile(Workbook()), before);
    EXPECT_EQ(LoadedAtNextStart().cameraDetected, 0);
    EXPECT_TRUE(view->layoutDone()) << "the program goes on without a camera";
}

TEST_F(FirstRunProbeTest, WorkbookThatCannotBeWrittenIsNotReportedAsStored)
{
    Camera(320, 240); // no workbook at all: nothing can be stored, and none is created
    auto view = ShowView();
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 1u);
    const QString text = boxes.shown[0].text;
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);
    EXPECT_FALSE(text.contains("不会看到")) << "must not promise what did not happen";
    EXPECT_TRUE(text.contains("320 × 240") && text.contains("再次检测")) << text.toStdString();
    EXPECT_FALSE(fs::exists(Workbook()));
    EXPECT_EQ(state->liveSources, 0);
}

TEST_F(FirstRunProbeTest, MeasuredCameraIsNotProbedAgain)
{
    MakeWorkbook();
    values.cameraDetected = 1;
    auto view = ShowView();
    QCoreApplication::processEvents();
    EXPECT_EQ(state->opens, 0);
    EXPECT_TRUE(boxes.shown.empty());

    // Nor is a first run probed twice when the view is laid out again.
    values.cameraDetected = 0;
    state->openSucceeds = false;
    auto first = ShowView();
    first->resize(700, 600);
    first->resize(800, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(state->opens, 1);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(FirstRunProbeTest, AMeasuredPictureLargerThanTheScreenStartsFittedToTheWindow)
{
    MakeWorkbook();
    Camera(1920, 1080); // larger than the test screen
    auto view = ShowView();
    EXPECT_EQ(view->pictureSize(), QSize(1920, 1080));
    EXPECT_EQ(view->sizeMode(), kDisplayFit);
    EXPECT_LE(view->webcam()->width(), view->width());
}

TEST_F(FirstRunProbeTest, CameraGivingAnotherSizeIsShownAtItsOwnSizeAndTheWorkbookFollows)
{
    // A camera on another port opens at 640 × 480 although 1280 × 720 was configured: the picture
    // is not stretched; it takes the camera's size, and so does the workbook.
    MakeWorkbook();
    values.cameraDetected = 1;
    values.imageWidth = 1280;
    values.imageHeight = 720;
    Camera(640, 480);
    state->agrees = true;
    auto view = std::make_unique<CParvelWebcamView>(folders, values, ScriptedFactory(state));
    view->resize(1400, 800);
    view->show();
    view->SetDisplaySize(kDisplayFull); // the configured size is larger than the test screen
    QSize told;
    QSize asked;
    QObject::connect(&view->session(), &PictureSession::cameraAgreed, view.get(),
        [&](QSize size, double, bool, QSize wanted) { told = size, asked = wanted; });
    ASSERT_TRUE(view->session().Start());
    EXPECT_EQ(state->askedWidth, 1280) << "the camera is asked for the picture's size";
    EXPECT_EQ(told, QSize(640, 480));
    EXPECT_EQ(asked, QSize(1280, 720));
    EXPECT_EQ(view->pictureSize(), QSize(640, 480));
    EXPECT_EQ(view->webcam()->pictureWidth(), 640);
    EXPECT_EQ(view->webcam()->geometry(), QRect(0, 0, 640, 480));
    EXPECT_FLOAT_EQ(view->webcam()->scaleX(), 1.0f);
    const SettingsValues next = LoadedAtNextStart();
    EXPECT_EQ(next.imageWidth, 640);
    EXPECT_EQ(next.imageHeight, 480);
    view->session().Stop();
}

} // namespace
