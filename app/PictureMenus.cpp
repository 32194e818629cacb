#include "app/PictureMenus.h"

#include "app/CParvelWebcamView.h"
#include "decorations/MessageBoxes.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/PictureCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <vector>

namespace {

// Pens and dots are drawn in these until colour pickers exist (blue, green, red).
const cv::Scalar kFlowColour(0, 255, 0);
const cv::Scalar kPaintColour(255, 255, 0);

struct MenuItem {
    const char* caption;
    std::function<void()> run;
    std::function<bool()> pressed; // empty: a plain command
};

QString Tr(const char* text)
{
    return QCoreApplication::translate("PictureMenus", text);
}

void AddMenu(QToolBar& bar, const char* title, const std::vector<MenuItem>& items, std::vector<std::function<void()>>& refreshers)
{
    auto* button = new QToolButton(&bar);
    button->setText(Tr(title));
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    for (const MenuItem& item : items) {
        QAction* action = menu->addAction(Tr(item.caption));
        QObject::connect(action, &QAction::triggered, action, item.run);
        if (item.pressed) {
            action->setCheckable(true);
            refreshers.push_back([action, pressed = item.pressed] { action->setChecked(pressed()); });
        }
    }
    button->setMenu(menu);
    bar.addWidget(button);
}

} // namespace

void AddPictureMenus(QToolBar& bar, CParvelWebcamView& view)
{
    CWebcamCtl* webcam = view.webcam();
    PictureSettingsStore& store = webcam->settings;
    auto change = [&store](auto f) { return [&store, f] { store.Change(f); }; };
    auto is = [&store](auto f) { return [&store, f] { return f(store.Snapshot()); }; };
    std::vector<std::function<void()>> refreshers;

    std::vector<MenuItem> sizes;
    const char* sizeCaptions[] = { "原始尺寸", "中等尺寸(0.75)", "较小尺寸(0.5)" };
    for (int mode = 0; mode < 3; ++mode)
        sizes.push_back({ sizeCaptions[mode], [&view, mode] { view.SetDisplaySize(mode); },
            [&view, mode] { return view.sizeMode() == mode; } });
    AddMenu(bar, "图像显示尺寸", sizes, refreshers);

    std::vector<MenuItem> styles;
    const char* styleCaptions[] = { "黑白", "底片", "素描", "细腻轮廓", "腐蚀", "磨砂颗粒" };
    for (int style = 1; style <= 6; ++style)
        styles.push_back({ styleCaptions[style - 1], change([style](PictureSettings& s) { ToggleEffectStyle(s, style); }),
            is([style](const PictureSettings& s) { return EffectStylePressed(s, style); }) });
    AddMenu(bar, "炫彩风格", styles, refreshers);

    std::vector<MenuItem> colours;
    const char* modelCaptions[] = { "RGB", "HSV", "HLS", "YCrCb" };
    for (int model = 0; model < 4; ++model)
        colours.push_back({ modelCaptions[model], change([model](PictureSettings& s) { SelectColourModel(s, model); }),
            is([model](const PictureSettings& s) { return ColourModelPressed(s, model); }) });
    colours.push_back({ "通道状态：默认设置", change([](PictureSettings& s) { ResetChannels(s); }), {} });
    AddMenu(bar, "色彩", colours, refreshers);

    AddMenu(bar, "ROI关键区域",
        {
            { "放大选区图像", [&store, webcam] { store.Change([webcam](PictureSettings& s) { ArmZoomRegion(s, webcam->cameraRunning()); }); },
                is([](const PictureSettings& s) { return ZoomRegionPressed(s); }) },
            { "原始图像", change([](PictureSettings& s) { CancelZoomRegion(s); }), {} },
            { "为选区应用特效",
                [&store, webcam] {
                    const ArmResult r = store.Change([webcam](PictureSettings& s) { return ArmEffectRegion(s, webcam->cameraRunning()); });
                    if (r == ArmResult::NoEffectStyle)
                        Messages().Question(webcam, Tr("尚未开启任何特效？"));
                },
                is([](const PictureSettings& s) { return EffectRegionPressed(s); }) },
            { "原始特效", change([](PictureSettings& s) { CancelEffectRegion(s); }), {} },
        },
        refreshers);

    AddMenu(bar, "图像翻转",
        {
            { "左右翻转", change([](PictureSettings& s) { ToggleFlip(s, 3); }), is([](const PictureSettings& s) { return FlipPressed(s, 3); }) },
            { "上下翻转", change([](PictureSettings& s) { ToggleFlip(s, 1); }), is([](const PictureSettings& s) { return FlipPressed(s, 1); }) },
            { "全部翻转", change([](PictureSettings& s) { ToggleFlip(s, 2); }), is([](const PictureSettings& s) { return FlipPressed(s, 2); }) },
        },
        refreshers);

    FlowState& flow = webcam->flow;
    AddMenu(bar, "光流互动",
        {
            { "点此开始光流",
                [&store, &flow, webcam] {
                    store.Change([&](PictureSettings& s) { StartFlowAuto(s, flow, webcam->cameraRunning(), kFlowColour); });
                },
                is([](const PictureSettings& s) { return FlowAutoPressed(s); }) },
            { "鼠标添加",
                [&store, &flow, webcam] {
                    store.Change([&](PictureSettings& s) { ToggleFlowManual(s, flow, webcam->cameraRunning(), kFlowColour); });
                },
                is([](const PictureSettings& s) { return FlowManualPressed(s); }) },
            { "夜晚模式", [&store, &flow] { store.Change([&](PictureSettings& s) { ToggleFlowNight(s, flow); }); },
                [&flow] { return FlowNightPressed(flow); } },
            { "退出光流", [&store, &flow] { store.Change([&](PictureSettings& s) { ExitFlow(s, flow); }); }, {} },
        },
        refreshers);

    AddMenu(bar, "挥毫泼墨",
        {
            { "点此开始涂鸦", change([](PictureSettings& s) { ToggleMousePaint(s, kPaintColour); }),
                is([](const PictureSettings& s) { return MousePaintPressed(s); }) },
            { "隐藏/显示 涂鸦", change([](PictureSettings& s) { TogglePaintShown(s); }), {} },
            { "清除涂鸦",
                [&store, webcam] {
                    store.Change([webcam](PictureSettings& s) {
                        ClearPaint(s, webcam->doodle, { webcam->pictureWidth(), webcam->pictureHeight() });
                    });
                },
                {} },
        },
        refreshers);

    // Pressed states follow the model at idle, whoever changed it.
    auto* idle = new QTimer(&bar);
    QObject::connect(idle, &QTimer::timeout, &bar, [refreshers] {
        for (const auto& refresh : refreshers)
            refresh();
    });
    idle->start(100);
}
