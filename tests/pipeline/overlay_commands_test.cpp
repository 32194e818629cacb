#include "pipeline/DecorationCommands.h"

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
    for (int mode = 0; mode <= 4; ++mode) {
        EXPECT_EQ(DragAddOnMode(mode), mode == 0 ? 4 : 0) << mode;
        EXPECT_EQ(DragAddOnPressed(mode), mode == 0);
        const PhotoClickResult click = PhotoClick(mode);
        EXPECT_EQ(click.mouseMode, mode == 2 ? 4 : 2) << mode;
        EXPECT_EQ(PhotoClickPressed(mode), mode == 2);
    }
    EXPECT_EQ(PhotoClick(2).status, "鼠标单击拍照功能已暂停");
    EXPECT_EQ(PhotoClick(0).status, "鼠标单击拍照功能已开启，在图像客户区单击即可轻松拍照，试试吧！");
    // Pressing twice returns to "nothing", not to the mode before.
    EXPECT_EQ(PhotoClick(PhotoClick(1).mouseMode).mouseMode, 4);
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
