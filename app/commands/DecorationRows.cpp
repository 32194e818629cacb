#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "pipeline/PictureSession.h"
#include "ui/MessageBoxes.h"
#include "pipeline/DecorationCommands.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureModel.h"

#include <QCoreApplication>
#include <QDir>

#include <functional>

namespace {

// A show/hide toggle: pressed while hidden, the caption names the current state.
CommandState LookState(bool shown, const char* shownCaption, const char* hiddenCaption)
{
    CommandState state = Pressed(!shown);
    state.caption = CommandText(shown ? shownCaption : hiddenCaption);
    return state;
}

// A frame or add-on picked in the side pane: applied while the camera runs and they are shown.
void Pick(CommandContext& c, bool shown, const char* hiddenMessage, const std::function<void()>& apply)
{
    switch (DecorationCommands::Pick(c.cameraRunning(), shown)) {
    case DecorationCommands::PickAction::Ignore:
        return;
    case DecorationCommands::PickAction::Apply:
        apply();
        return;
    case DecorationCommands::PickAction::TellHidden:
        c.messages.Information(c.window.boxParent(), CommandText(hiddenMessage), MessageBoxes::DefaultCaption());
        return;
    }
}

} // namespace

void AddDecorationRows(CommandTable& table)
{
    table.Add({ ID_BUTTON_LOOGO, "LOOGO状态：显示", "L", "显示或隐藏 Loogo", "单击按钮切换",
        [](CommandContext& c, const CommandInput&) { c.model().overlays.ToggleLogoShown(); },
        [](const CommandContext& c) { return LookState(c.model().overlays.logoShown(), "LOOGO状态：显示", "LOOGO状态：隐藏"); } });
    table.Add({ ID_BUTTON_FRAME_SHOWIF, "相框状态：显示", "F", "相框显示", "点此按钮可显示或隐藏相框",
        [](CommandContext& c, const CommandInput&) { c.model().overlays.ToggleFrameShown(); },
        [](const CommandContext& c) { return LookState(c.model().overlays.frameShown(), "相框状态：显示", "相框状态：隐藏"); } });
    table.Add({ ID_BUTTON_ADDON_SHOWIF, "挂件状态：显示", "A", "挂件显示", "点此按钮可显示或隐藏挂件",
        [](CommandContext& c, const CommandInput&) { c.model().overlays.ToggleAddOnsShown(); },
        [](const CommandContext& c) { return LookState(c.model().overlays.addOnsShown(), "挂件状态：显示", "挂件状态：隐藏"); } });
    table.Add({ ID_BUTTON_DRAG_ADD_ON, "鼠标拖动", "D", "挂件操作", "按钮点中状态下，可鼠标移动挂件到指定位置",
        [](CommandContext& c, const CommandInput&) { c.model().settings.Change([](PictureSettings& s) { ToggleDragAddOns(s); }); },
        [](const CommandContext& c) { return Pressed(DragAddOnsPressed(c.model().settings.Snapshot())); } });
    table.Add({ ID_BUTTON_CLEAR_ADDON, "全部清除", "C", "挂件操作", "清除所有添加的挂件",
        [](CommandContext& c, const CommandInput&) { c.model().overlays.ClearAddOns(); }, {} });
    // The add-on under the mouse (the picture's right-button menu) or the last one grabbed (Delete).
    CommandRow removeAddOn { ID_REMOVE_ADD_ON, "删除此挂件", "R", "删除此挂件", "删除鼠标下的挂件（或刚拖动过的挂件）",
        [](CommandContext& c, const CommandInput&) {
            if (!c.model().overlays.RemoveAddOn())
                c.SetStatus(CommandText("请先把鼠标移到要删除的挂件上"));
        },
        // On while any add-on is placed: which one the mouse is over changes without a command.
        [](const CommandContext& c) {
            CommandState state;
            state.enabled = c.model().overlays.WithAddOns(
                [](const AddOnCollection& a) { return a.animatedCount() + a.stillCount() > 0; });
            return state;
        } };
    removeAddOn.shortcut = "Delete";
    table.Add(std::move(removeAddOn));
    table.Add({ ID_REMOVE_FRAME, "移除相框", "M", "移除相框", "把相框从画面上拿掉",
        [](CommandContext& c, const CommandInput&) { c.model().overlays.RemoveFrame(); },
        [](const CommandContext& c) {
            CommandState state;
            state.enabled = c.model().overlays.frameKind().has_value();
            return state;
        } });
    table.Add({ ID_FACE_STICKERS, "贴脸挂件", "E", "贴脸挂件",
        "按钮点中状态下，放到脸上的挂件会跟着脸移动和缩放；拖离脸部即可取下",
        [](CommandContext& c, const CommandInput&) {
            // Without a cascade nothing would ever follow: say so rather than look switched on.
            if (c.model().ToggleFaceStickers() && !c.model().faces.Prepare()) {
                c.model().ToggleFaceStickers();
                c.SetStatus(CommandText("找不到人脸检测数据，贴脸挂件无法使用（请安装 opencv-data）"));
            }
        },
        [](const CommandContext& c) { return Pressed(c.model().faceStickers()); } });
    // Not on the ribbon, only its keys: the boxes of the faces the stickers follow, on the screen.
    CommandRow faceBoxes { ID_FACE_BOXES, "显示人脸框", "", "显示人脸框",
        "贴脸挂件开启时，在画面上框出找到的人脸（只显示在屏幕上）",
        [](CommandContext& c, const CommandInput&) { c.picture().SetFaceBoxesShown(!c.picture().faceBoxesShown()); },
        [](const CommandContext& c) {
            CommandState state = Pressed(c.picture().faceBoxesShown());
            state.enabled = c.model().faceStickers();
            return state;
        } };
    faceBoxes.shortcut = "Ctrl+Shift+F";
    table.Add(std::move(faceBoxes));

    // A frame or an add-on picked in the side pane (the strips send the file and its kind).
    table.Add({ ID_PICK_FRAME, "选用相框", "", "", "",
        [](CommandContext& c, const CommandInput& in) {
            OverlayStore& decorations = c.model().overlays;
            Pick(c, decorations.frameShown(), "^_^相框暂时无法添加\n\n目前相框状态为：隐藏~\n\n请首先切换相框状态为：显示~~",
                [&] { decorations.SetFrameImage(in.path, in.kind); });
        },
        {} });
    table.Add({ ID_PICK_ADD_ON, "添加挂件", "", "", "",
        [](CommandContext& c, const CommandInput& in) {
            OverlayStore& decorations = c.model().overlays;
            const cv::Size picture = c.picture().pictureSize();
            Pick(c, decorations.addOnsShown(), "^_^挂件暂时无法添加\n\n目前挂件状态为：隐藏~\n\n请首先切换挂件状态为：显示~~", [&] {
                // A file whose pictures would take too much memory is refused; the user hears why.
                if (decorations.AddAddOn(in.path, in.kind, picture.width, picture.height) == AddOnOutcome::TooLarge)
                    c.SetStatus(CommandText("这个挂件的图片太大，无法添加：%1").arg(QDir::toNativeSeparators(in.path)));
            });
        },
        {} });
}
