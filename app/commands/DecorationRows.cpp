#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/DecorationCommands.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureModel.h"

#include <QCoreApplication>

namespace {

QString Text(const char* source)
{
    return QCoreApplication::translate("Commands", source);
}

CommandState LookState(const DecorationCommands::ToggleLook& look)
{
    CommandState state = Pressed(look.pressed);
    state.caption = look.caption;
    return state;
}

} // namespace

void AddDecorationRows(CommandTable& table)
{
    table.Add({ ID_BUTTON_LOOGO, "LOOGO状态：显示", "L", "显示或隐藏 Loogo", "单击按钮切换",
        [](CommandContext& c) { c.model().overlays.ToggleLogoShown(); },
        [](const CommandContext& c) { return LookState(DecorationCommands::LogoLook(c.model().overlays.logoShown())); } });
    table.Add({ ID_BUTTON_FRAME_SHOWIF, "相框状态：显示", "F", "相框显示", "点此按钮可显示或隐藏相框",
        [](CommandContext& c) { c.model().overlays.ToggleFrameShown(); },
        [](const CommandContext& c) { return LookState(DecorationCommands::FrameLook(c.model().overlays.frameShown())); } });
    table.Add({ ID_BUTTON_ADDON_SHOWIF, "挂件状态：显示", "A", "挂件显示", "点此按钮可显示或隐藏挂件",
        [](CommandContext& c) { c.model().overlays.ToggleAddOnsShown(); },
        [](const CommandContext& c) { return LookState(DecorationCommands::AddOnLook(c.model().overlays.addOnsShown())); } });
    table.Add({ ID_BUTTON_DRAG_ADD_ON, "鼠标拖动", "D", "挂件操作", "按钮点中状态下，可鼠标移动挂件到指定位置",
        [](CommandContext& c) { c.model().settings.Change([](PictureSettings& s) { ToggleDragAddOns(s); }); },
        [](const CommandContext& c) { return Pressed(DragAddOnsPressed(c.model().settings.Snapshot())); } });
    table.Add({ ID_BUTTON_CLEAR_ADDON, "全部清除", "C", "挂件操作", "清除所有添加的挂件",
        [](CommandContext& c) { c.model().overlays.ClearAddOns(); }, {} });
    table.Add({ ID_FACE_STICKERS, "贴脸挂件", "E", "贴脸挂件",
        "按钮点中状态下，放到脸上的挂件会跟着脸移动和缩放；拖离脸部即可取下",
        [](CommandContext& c) {
            // Without a cascade nothing would ever follow: say so rather than look switched on.
            if (c.model().ToggleFaceStickers() && !c.model().faces.Prepare()) {
                c.model().ToggleFaceStickers();
                c.setStatus(Text("找不到人脸检测数据，贴脸挂件无法使用（请安装 opencv-data）"));
            }
        },
        [](const CommandContext& c) { return Pressed(c.model().faceStickers()); } });
    // Not on the ribbon, only its keys: the boxes of the faces the stickers follow, on the screen.
    CommandRow faceBoxes { ID_FACE_BOXES, "显示人脸框", "", "显示人脸框",
        "贴脸挂件开启时，在画面上框出找到的人脸（只显示在屏幕上）",
        [](CommandContext& c) { c.webcam().SetFaceBoxesShown(!c.webcam().faceBoxesShown()); },
        [](const CommandContext& c) {
            CommandState state = Pressed(c.webcam().faceBoxesShown());
            state.enabled = c.model().faceStickers();
            return state;
        } };
    faceBoxes.shortcut = "Ctrl+Shift+F";
    table.Add(std::move(faceBoxes));
}
