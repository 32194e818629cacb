#include "pipeline/DecorationCommands.h"
#include "pipeline/PictureCommands.h"

#include <gtest/gtest.h>

namespace {

using namespace DecorationCommands;

TEST(DecorationCommandsTest, DragAndPhotoClickSwitchTheMouseModeFromAnyMode)
{
    const auto dragged = [](MouseMode mode) {
        PictureSettings s;
        s.mouseMode = mode;
        ToggleDragAddOns(s);
        return s.mouseMode;
    };
    const auto clicked = [](MouseMode mode, bool* on = nullptr) {
        PictureSettings s;
        s.mouseMode = mode;
        const bool nowOn = TogglePhotoClick(s);
        if (on)
            *on = nowOn;
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
        EXPECT_EQ(clicked(mode), mode == 2 ? 0 : 2) << mode;
        EXPECT_EQ(PhotoClickPressed(modeWith(mode)), mode == 2);
    }
    bool on = true;
    clicked(kMousePhoto, &on);
    EXPECT_FALSE(on);
    clicked(kMouseDragAddOns, &on);
    EXPECT_TRUE(on);
    // Pressing twice returns to dragging the stickers, not to the mode before.
    EXPECT_EQ(clicked(clicked(kMouseDoodle)), kMouseDragAddOns);
}

TEST(DecorationCommandsTest, PicksApplyOnlyWhileRunningAndWarnWhileHidden)
{
    EXPECT_EQ(Pick(false, true), PickAction::Ignore);
    EXPECT_EQ(Pick(false, false), PickAction::Ignore); // no message while stopped
    EXPECT_EQ(Pick(true, true), PickAction::Apply);
    EXPECT_EQ(Pick(true, false), PickAction::TellHidden);
}

} // namespace
