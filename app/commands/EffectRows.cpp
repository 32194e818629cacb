#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "pipeline/PictureSession.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureModel.h"
#include "pipeline/stages/ColourAdjust.h"
#include "ui/MessageBoxes.h"

#include <QCoreApplication>

#include <cstdint>

namespace {

// A row whose handler changes the mode fields and whose rule reads them.
template <class Run, class IsPressed>
CommandRow SettingsRow(CommandId id, const char* caption, const char* keyTip, const char* tipTitle,
    const char* tipDescription, Run run, IsPressed pressed)
{
    return { id, caption, keyTip, tipTitle, tipDescription,
        [run](CommandContext& c, const CommandInput&) { c.model().settings.Change(run); },
        [pressed](const CommandContext& c) { return Pressed(pressed(c.model().settings.Snapshot())); } };
}

void AddStyleRow(CommandTable& table, CommandId id, const char* caption, const char* keyTip, const char* tip,
    EffectStyle style)
{
    table.Add(SettingsRow(id, caption, keyTip, "特效风格", tip,
        [style](PictureSettings& s) { ToggleEffectStyle(s, style); },
        [style](const PictureSettings& s) { return EffectStylePressed(s, style); }));
}

void AddFlipRow(CommandTable& table, CommandId id, const char* caption, const char* keyTip, const char* tip,
    FlipMode flip)
{
    table.Add(SettingsRow(id, caption, keyTip, "图像翻转", tip,
        [flip](PictureSettings& s) { ToggleFlip(s, flip); },
        [flip](const PictureSettings& s) { return FlipPressed(s, flip); }));
}

void AddModelRow(CommandTable& table, CommandId id, const char* caption, const char* keyTip, const char* tipTitle,
    const char* tip, ColourModel model)
{
    table.Add(SettingsRow(id, caption, keyTip, tipTitle, tip,
        [model](PictureSettings& s) { SelectColourModel(s, model); },
        [model](const PictureSettings& s) { return ColourModelPressed(s, model); }));
}

// A slider sends its position; its rule reads back where the value stands, so the reset moves
// it to 100. A slider whose channel the colour model leaves alone is disabled and says why.
void AddSliderRow(CommandTable& table, CommandId id, const char* keyTip, const char* tipTitle,
    const char* tipDescription, int channel, bool brightness)
{
    table.Add({ id, "", keyTip, tipTitle, tipDescription,
        [channel, brightness](CommandContext& c, const CommandInput& in) {
            c.model().settings.Change([&](PictureSettings& s) {
                if (brightness)
                    SetBrightness(s, channel, in.value);
                else
                    SetContrast(s, channel, in.value);
            });
        },
        [channel, brightness](const CommandContext& c) {
            const PictureSettings s = c.model().settings.Snapshot();
            const ChannelSliders& sliders = s.sliders;
            CommandState state;
            state.value = brightness ? sliders.brightness[std::size_t(channel)] : sliders.contrast[std::size_t(channel)];
            const int model = s.colourModel;
            if (!SliderAdjusts(model, channel)) {
                state.enabled = false;
                state.reason = model == kColourYCrCb
                    ? CommandText("YCrCb 模式中只有通道1（亮度）随亮度/对比度变化")
                    : CommandText("HSV 和 HLS 模式中通道1是色相，色相不随亮度/对比度变化");
            }
            return state;
        } });
}

void AddColourRows(CommandTable& table)
{
    AddSliderRow(table, ID_SLIDER_B0, "1", "亮度", "通道1", 0, true);
    AddSliderRow(table, ID_SLIDER_B1, "2", "亮度", "通道2", 1, true);
    AddSliderRow(table, ID_SLIDER_B2, "3", "亮度", "通道3", 2, true);
    AddSliderRow(table, ID_SLIDER_C0, "4", "对比度", "通道1", 0, false);
    AddSliderRow(table, ID_SLIDER_C1, "5", "对比度", "通道2", 1, false);
    AddSliderRow(table, ID_SLIDER_C2, "6", "对比度", "通道3", 2, false);
    table.Add({ ID_BUTTON_DEFUALT_COLOR, "通道状态：默认设置", "E", "通道参数设置", "点此按钮可恢复默认设置",
        [](CommandContext& c, const CommandInput&) { c.model().settings.Change([](PictureSettings& s) { ResetChannels(s); }); },
        [](const CommandContext& c) {
            const PictureSettings s = c.model().settings.Snapshot();
            CommandState state = Pressed(ChannelsButtonPressed(s));
            state.caption = s.channelsDefault ? CommandText("通道状态：默认") : CommandText("通道状态：自定义");
            return state;
        } });
    AddModelRow(table, ID_CHECK_RGB, "RGB", "R", "色彩模式", "最常见的RGB色彩模式", kColourRgb);
    AddModelRow(table, ID_CHECK_HSV, "HSV", "V", "", "", kColourHsv);
    AddModelRow(table, ID_CHECK_HLS, "HLS", "H", "", "", kColourHls);
    AddModelRow(table, ID_CHECK_YCRCB, "YCrCb", "K", "", "", kColourYCrCb);
}

void AddRegionRows(CommandTable& table)
{
    table.Add({ ID_BUTTON_ROI, "放大选区图像", "Z", "细节放大", "点击按钮后在图像区鼠标选取感兴趣区域后即可放大该区域",
        [](CommandContext& c, const CommandInput&) {
            const bool running = c.cameraRunning();
            c.model().settings.Change([running](PictureSettings& s) { ArmZoomRegion(s, running); });
        },
        [](const CommandContext& c) { return Pressed(ZoomRegionPressed(c.model().settings.Snapshot())); } });
    table.Add({ ID_BUTTON_CANCEL_ROI, "原始图像", "O", "", "",
        [](CommandContext& c, const CommandInput&) { c.model().settings.Change([](PictureSettings& s) { CancelZoomRegion(s); }); }, {} });
    table.Add({ ID_BUTTON_EFFECT_ROI, "为选区应用特效", "E", "为特定选取应用特效",
        "点击按钮后鼠标选取感兴趣区域后，特效功能仅在该区域有效",
        [](CommandContext& c, const CommandInput&) {
            const bool running = c.cameraRunning();
            const ArmResult result
                = c.model().settings.Change([running](PictureSettings& s) { return ArmEffectRegion(s, running); });
            if (result == ArmResult::NoEffectStyle)
                c.messages.Question(c.window.boxParent(), CommandText("尚未开启任何特效？"));
        },
        [](const CommandContext& c) { return Pressed(EffectRegionPressed(c.model().settings.Snapshot())); } });
    table.Add({ ID_BUTTON_DEFUALT_EFFECT, "原始特效", "U", "", "",
        [](CommandContext& c, const CommandInput&) { c.model().settings.Change([](PictureSettings& s) { CancelEffectRegion(s); }); }, {} });
}

void AddFlowRows(CommandTable& table)
{
    table.Add({ ID_BUTTON_LIGHTFLOW_AUTO, "点此开始光流", "L", "光流互动娱乐", "点此按钮可自动添加光流",
        [](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([&c, running = c.cameraRunning()](PictureSettings& s) {
                StartFlowAuto(s, c.model().flow, running, c.picture().flowButtonColour);
            });
        },
        [](const CommandContext& c) { return Pressed(FlowAutoPressed(c.model().settings.Snapshot())); } });
    table.Add({ ID_BUTTON_LIGHTFLOW_MANUAL, "鼠标添加", "K", "光流互动娱乐", "点此按钮可通过鼠标自定义添加光流点",
        [](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([&c, running = c.cameraRunning()](PictureSettings& s) {
                ToggleFlowManual(s, c.model().flow, running, c.picture().flowButtonColour);
            });
        },
        [](const CommandContext& c) { return Pressed(FlowManualPressed(c.model().settings.Snapshot())); } });
    table.Add({ ID_BUTTON_LIGHTFLOW_NIGHT, "夜晚模式", "N", "光流互动娱乐", "点此按钮可切换到夜晚模式，再次点击后恢复",
        [](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([&c](PictureSettings& s) { ToggleFlowNight(s, c.model().flow); });
        },
        [](const CommandContext& c) { return Pressed(FlowNightPressed(c.model().flow)); } });
    // Sends the button's colour; the flow commands read it from here.
    table.Add({ ID_BUTTON_FLOW_COLOR, "光流色板", "C", "光流互动娱乐", "为光流点选择不同的颜色",
        [](CommandContext& c, const CommandInput& in) {
            c.picture().flowButtonColour = ColourFromButton(std::uint32_t(in.value));
            c.model().flow.SetColour(c.picture().flowButtonColour);
        },
        {} });
    table.Add({ ID_BUTTON_ESC_LIGHTFLOW, "退出光流", "Q", "光流互动娱乐", "退出光流娱乐互动",
        [](CommandContext& c, const CommandInput&) { c.model().settings.Change([&c](PictureSettings& s) { ExitFlow(s, c.model().flow); }); },
        {} });
}

void AddDoodleRows(CommandTable& table)
{
    table.Add({ ID_BUTTON_MOUSE_PAINT, "点此开始涂鸦", "P", "", "",
        [](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([&c](PictureSettings& s) { ToggleMousePaint(s, c.picture().paintButtonColour); });
        },
        [](const CommandContext& c) { return Pressed(MousePaintPressed(c.model().settings.Snapshot())); } });
    table.Add({ ID_BUTTON_PAINT_COLOR, "颜料桶", "T", "挥毫泼墨", "换个画笔颜色",
        [](CommandContext& c, const CommandInput& in) {
            c.picture().paintButtonColour = ColourFromButton(std::uint32_t(in.value));
            c.model().settings.Change([&c](PictureSettings& s) { SetPaintColour(s, c.picture().paintButtonColour); });
        },
        {} });
    table.Add({ ID_BUTTON_PEN_WIDETH, "画笔选择", "W", "挥毫泼墨", "选择不同粗细画笔",
        [](CommandContext& c, const CommandInput& in) { c.model().settings.Change([&in](PictureSettings& s) { SelectPenWidth(s, in.value); }); },
        [](const CommandContext& c) {
            CommandState state;
            state.value = PenGalleryIndex(c.model().settings.Snapshot().penWidth);
            return state;
        } });
    table.Add({ ID_BUTTON_PAINT_SET, "涂鸦设置", "G", "挥毫泼墨", "隐藏或者去除当前图画", {}, {} });
    table.Add({ ID_BUTTON_PAINT_HIDE, "隐藏 涂鸦", "", "", "",
        [](CommandContext& c, const CommandInput&) { c.model().settings.Change([](PictureSettings& s) { TogglePaintShown(s); }); },
        [](const CommandContext& c) {
            CommandState state;
            state.caption = c.model().settings.Snapshot().doodleShown ? CommandText("隐藏 涂鸦") : CommandText("显示 涂鸦");
            return state;
        } });
    table.Add({ ID_BUTTON_PAINT_CLEAR, "清除 涂鸦", "", "", "",
        [](CommandContext& c, const CommandInput&) {
            const cv::Size picture = c.picture().pictureSize();
            c.model().settings.Change([&c, picture](PictureSettings& s) { ClearPaint(s, c.model().doodle, picture); });
        },
        {} });
    // Strokes belong to the camera's run: a new start begins a fresh canvas with nothing to undo.
    CommandRow undo { ID_PAINT_UNDO, "撤销笔画", "Y8", "撤销笔画",
        "撤销最近画的一笔，可连续撤销 20 步；清除涂鸦后也能撤销，找回整幅涂鸦",
        [](CommandContext& c, const CommandInput&) {
            if (!c.cameraRunning())
                return;
            c.model().settings.Change([&c](PictureSettings& s) { UndoPaint(s, c.model().doodle); });
        },
        [](const CommandContext& c) {
            CommandState state;
            state.enabled = c.cameraRunning() && c.model().doodle.CanUndo();
            return state;
        } };
    undo.shortcut = "Ctrl+Z";
    undo.whenDisabled = "没有可以撤销的涂鸦";
    table.Add(std::move(undo));
}

} // namespace

void AddEffectRows(CommandTable& table)
{
    AddColourRows(table);

    AddStyleRow(table, ID_BUTTON_BLACKWHITE, "黑白", "B", "使图像变为黑白色", kEffectBlackWhite);
    AddStyleRow(table, ID_BUTTON_INVERT, "底片", "D", "模仿胶片底色的效果", kEffectNegative);
    AddStyleRow(table, ID_BUTTON_SKETCH, "素描", "S", "极力推荐的实时素描特写，试试吧！", kEffectSketch);
    AddStyleRow(table, ID_BUTTON_SMOOTH_SKETCH, "细腻轮廓", "X", "彩色亮化的边缘", kEffectFineOutline);
    AddStyleRow(table, ID_BUTTON_ERODE, "腐蚀", "F", "图像腐蚀的效果", kEffectErode);
    AddStyleRow(table, ID_BUTTON_GRAIN, "磨砂颗粒", "M", "带有杂色的磨砂风格", kEffectGrain);

    AddRegionRows(table);

    AddFlipRow(table, ID_BUTTON_H_FLIP, "左右翻转", "H", "点此按钮图像左右方向切换", kFlipNone);
    AddFlipRow(table, ID_BUTTON_V_FLIP, "上下翻转", "V", "点此按钮图像上下方向切换", kFlipMirrorUpsideDown);
    AddFlipRow(table, ID_BUTTON_HV_FLIP, "全部翻转", "A", "点此按钮图像上下左右方向切换", kFlipUpsideDown);

    AddFlowRows(table);
    AddDoodleRows(table);
}
