#include "pipeline/DecorationCommands.h"
#include "pipeline/PictureCommands.h"

#include <gtest/gtest.h>

namespace {

using namespace DecorationCommands;

TEST(DecorationCommandsTest, ShowTogglesArePressedWhileHiddenAndNameTheState)
{
    EXPECT_FALSE(LogoLook(true).pressed);
    EXPECT_EQ(LogoLook(true).caption, "LOOGO状态：显示");
    EXPECT_TRUE(LogoLook(false).pressed);
    EXPECT_EQ(LogoLook(false).caption, "LOOGO状态：隐藏");
    EXPECT_EQ(FrameLook(true).caption, "相框状态：显示");
    EXPECT_TRUE(FrameLook(false).pressed);
    EXPECT_EQ(FrameLook(false).caption, "相框状态：隐藏");
    EXPECT_EQ(AddOnLook(true).caption, "挂件状态：显示");
    EXPECT_FALSE(AddOnLook(true).pressed);
    EXPECT_EQ(AddOnLook(false).caption, "挂件状态：隐藏");
}

TEST(DecorationCommandsTest, DragAndPhotoClickSwitchTheMouseModeFromAnyMode)
{
    const auto dragged = [](MouseMode mode) {
        PictureSettings s;
        s.mouseMode = mode;
        ToggleDragAddOns(s);
        return s.mouseMode;
    };
    const auto clicked = [](MouseMode mode, QString* status = nullptr) {
        PictureSettings s;
        s.mouseMode = mode;
        const QString text = QString::fromUtf8(TogglePhotoClick(s));
        if (status)
            *status = text;
        return s.mouseMode;
    };
    const auto modeWith = [](MouseMode mode) {
        PictureSettings s;
        s.mouseMode = mode;
        return s;
    };
    for (int m = 0; m <= 4; ++m) {
        const auto mode = static_cast<MouseMode>(m);
        EXPECT_EQ(dragged(mode), mode == 0 ? 4 : 0) << mode;
        EXPECT_EQ(DragAddOnsPressed(modeWith(mode)), mode == 0);
        EXPECT_EQ(clicked(mode), mode == 2 ? 4 : 2) << mode;
        EXPECT_EQ(PhotoClickPressed(modeWith(mode)), mode == 2);
    }
    QString status;
    clicked(kMousePhoto, &status);
    EXPECT_EQ(status, "鼠标单击拍照功能已暂停");
    clicked(kMouseDragAddOns, &status);
    EXPECT_EQ(status, "鼠标单击拍照功能已开启，在图像客户区单击即可轻松拍照，试试吧！");
    // Pressing twice returns to "nothing", not to the mode before.
    EXPECT_EQ(clicked(clicked(kMouseDoodle)), 4);
}

TEST(DecorationCommandsTest, PicksApplyOnlyWhileRunningAndWarnWhileHidden)
{
    EXPECT_EQ(FramePick(false, true).action, PickAction::Ignore);
    EXPECT_EQ(FramePick(false, false).action, PickAction::Ignore); // no message while stopped
    EXPECT_TRUE(FramePick(false, false).message.isEmpty());
    EXPECT_EQ(FramePick(true, true).action, PickAction::Apply);
    const PickDecision frameHidden = FramePick(true, false);
    EXPECT_EQ(frameHidden.action, PickAction::ShowMessage);
    EXPECT_EQ(frameHidden.message, "^_^相框暂时无法添加\n\n目前相框状态为：隐藏~\n\n请首先切换相框状态为：显示~~");

    EXPECT_EQ(AddOnPick(false, true).action, PickAction::Ignore);
    EXPECT_EQ(AddOnPick(true, true).action, PickAction::Apply);
    const PickDecision addOnHidden = AddOnPick(true, false);
    EXPECT_EQ(addOnHidden.action, PickAction::ShowMessage);
    EXPECT_EQ(addOnHidden.message, "^_^挂件暂时无法添加\n\n目前挂件状态为：隐藏~\n\n请首先切换挂件状态为：显示~~");
    EXPECT_EQ(MessageCaption(), "乐影屋");
}

} // namespace
