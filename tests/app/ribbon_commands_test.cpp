#include "MainWindowRig.h"
#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/ribbon/RibbonBar.h"
#include "app/ribbon/RibbonLayout.h"
#include "app/commands/CommandContext.h"
#include "pipeline/CWebcamCtl.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class RibbonCommandsTest : public MainWindowRig {
protected:
    std::optional<QSize> InitialSize() const override { return std::nullopt; }
};

TEST_F(RibbonCommandsTest, PictureMenusChangeTheSettingsAndShowTheirState)
{
    QAction* sketch = Shown(ID_BUTTON_SKETCH);
    QAction* upsideDown = Shown(ID_BUTTON_V_FLIP);
    QAction* effectRegion = Shown(ID_BUTTON_EFFECT_ROI);
    ASSERT_TRUE(sketch && upsideDown && effectRegion);

    ASSERT_TRUE(session().Start());
    boxes.shown.clear(); // the side pane may have reported its empty folders
    effectRegion->trigger(); // no style yet: only the question
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QString("尚未开启任何特效？"));
    EXPECT_FALSE(webcam()->model().settings.Snapshot().regionArmed);

    sketch->trigger();
    upsideDown->trigger();
    const PictureSettings s = webcam()->model().settings.Snapshot();
    EXPECT_EQ(s.effectStyle, 3);
    EXPECT_EQ(s.flipMode, 1);
    EXPECT_TRUE(WaitUntil([&] { return sketch->isChecked() && upsideDown->isChecked(); }));
    sketch->trigger(); // a style command toggles back to none
    EXPECT_EQ(webcam()->model().settings.Snapshot().effectStyle, 0);
}

TEST_F(RibbonCommandsTest, CameraButtonSwitchesTheCameraAndTellsTheStatusBar)
{
    QAction* camera = Shown(ID_BUTTON_CAM_MANGER);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->text(), "开启摄像机");
    EXPECT_FALSE(camera->isChecked());

    camera->trigger();
    EXPECT_TRUE(webcam()->cameraRunning());
    EXPECT_EQ(window->statusText(), "摄像头已经打开,可进行其他操作");
    EXPECT_EQ(camera->text(), "关闭摄像机");
    EXPECT_TRUE(camera->isChecked());

    camera->trigger();
    EXPECT_FALSE(webcam()->cameraRunning());
    EXPECT_EQ(window->statusText(), "摄像头已经关闭");
    EXPECT_EQ(camera->text(), "开启摄像机");

    // A failed start leaves the caption and says the camera is off, after the message.
    ASSERT_TRUE(WaitUntil([&] { return !session().loop().workerAlive(); }));
    state->openSucceeds = false;
    boxes.shown.clear(); // the side pane may have reported its empty folders
    camera->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "未找到摄像设备\n内置摄像头是否禁用或USB摄像头未插入?");
    EXPECT_EQ(window->statusText(), "摄像头已经关闭");
    EXPECT_FALSE(camera->isChecked());
}

TEST_F(RibbonCommandsTest, MouseModeButtonsEndEachOtherAndShowTheirState)
{
    QAction* drag = Shown(ID_BUTTON_DRAG_ADD_ON);
    QAction* photo = Shown(ID_BUTTON_PHOTO_CLICK);
    QAction* paint = Shown(ID_BUTTON_MOUSE_PAINT);
    ASSERT_TRUE(drag && photo && paint);
    EXPECT_TRUE(drag->isChecked()); // dragging is the mode at start

    photo->trigger();
    EXPECT_EQ(window->statusText(), "鼠标单击拍照功能已开启，在图像客户区单击即可轻松拍照，试试吧！");
    EXPECT_TRUE(photo->isChecked());
    EXPECT_FALSE(drag->isChecked());

    paint->trigger(); // doodling ends photo mode
    EXPECT_TRUE(paint->isChecked());
    EXPECT_FALSE(photo->isChecked());
    photo->trigger();
    photo->trigger();
    EXPECT_EQ(window->statusText(), "鼠标单击拍照功能已暂停");
    // Photo mode over: the mouse drags stickers again, and its button says so.
    EXPECT_EQ(webcam()->model().settings.Snapshot().mouseMode, kMouseDragAddOns);
    EXPECT_TRUE(drag->isChecked());
}

TEST_F(RibbonCommandsTest, ShowTogglesNameTheStateAndDoodleCaptionFollowsTheLayer)
{
    QAction* logo = Shown(ID_BUTTON_LOOGO);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->text(), "LOOGO状态：显示");
    logo->trigger();
    EXPECT_FALSE(webcam()->model().overlays.logoShown());
    EXPECT_EQ(logo->text(), "LOOGO状态：隐藏");
    EXPECT_TRUE(logo->isChecked());

    QAction* hide = Shown(ID_BUTTON_PAINT_HIDE);
    ASSERT_NE(hide, nullptr);
    EXPECT_FALSE(hide->isCheckable()); // a caption rule only, never pressed
    EXPECT_EQ(hide->text(), "显示 涂鸦");
    hide->trigger();
    EXPECT_EQ(hide->text(), "隐藏 涂鸦");
}

TEST_F(RibbonCommandsTest, StatusBarFollowsEveryWayOfStartingAndStopping)
{
    QAction* camera = Shown(ID_BUTTON_CAM_MANGER);
    ASSERT_NE(camera, nullptr);
    camera->trigger(); // start by the bar
    camera->trigger(); // stop by the bar
    EXPECT_EQ(window->statusText(), "摄像头已经关闭");
    ASSERT_TRUE(WaitUntil([&] { return !session().loop().workerAlive(); }));

    const QPoint at(20, 20);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, webcam()->mapToGlobal(at), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(webcam(), &doubleClick); // start by a double-click
    EXPECT_TRUE(webcam()->cameraRunning());
    EXPECT_EQ(window->statusText(), "摄像头已经打开,可进行其他操作");
    EXPECT_EQ(camera->text(), "关闭摄像机");

    QCoreApplication::sendEvent(webcam(), &doubleClick); // stop by a double-click
    EXPECT_EQ(window->statusText(), "摄像头已经关闭");
    EXPECT_EQ(camera->text(), "开启摄像机");
}

TEST(CommandTableTest, ToolTipsCarryDescriptionThenTitleAndUnknownIdsHaveNoText)
{
    const CommandTable table = BuildCommandTable();
    EXPECT_EQ(table.ToolTip(ID_BUTTON_SKETCH), "极力推荐的实时素描特写，试试吧！\n特效风格");
    EXPECT_EQ(table.ToolTip(ID_BUTTON_CANCEL_ROI), "原始图像"); // no tip: the caption
    EXPECT_EQ(table.ToolTip(ID_VIEW_APPLOOK_WINDOWS_7), "Windows 7"); // without its menu letter
    EXPECT_EQ(table.ToolTip(ID_BUTTON_PHOTO_DELAY), "延时拍摄\n拍照选项 (Ctrl+D)");
    const auto unknown = static_cast<CommandId>(12345);
    EXPECT_FALSE(table.Contains(unknown));
    EXPECT_TRUE(table.Caption(unknown).isEmpty());
    EXPECT_TRUE(table.ToolTip(unknown).isEmpty());
}

} // namespace
