#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/SidePanePort.h"
#include "app/commands/WindowPort.h"
#include "pipeline/PictureSession.h"

namespace {

void AddLookRow(CommandTable& table, CommandId id, const char* caption)
{
    CommandRow row { id, caption, "", "", "",
        [id](CommandContext& c, const CommandInput&) { c.window.SetLook(static_cast<unsigned>(id)); },
        [id](const CommandContext& c) { return Pressed(c.window.look() == static_cast<unsigned>(id)); } };
    row.needsDocument = false;
    table.Add(std::move(row));
}

} // namespace

void AddWindowRows(CommandTable& table)
{
    AddLookRow(table, ID_VIEW_APPLOOK_OFF_2007_BLUE, "Office 2007 (蓝色样式)(&B)");
    AddLookRow(table, ID_VIEW_APPLOOK_OFF_2007_BLACK, "Office 2007 (黑色样式)(&L)");
    AddLookRow(table, ID_VIEW_APPLOOK_OFF_2007_SILVER, "Office 2007 (银色样式)(&S)");
    AddLookRow(table, ID_VIEW_APPLOOK_OFF_2007_AQUA, "Office 2007 (水绿色样式)(&A)");
    AddLookRow(table, ID_VIEW_APPLOOK_WINDOWS_7, "Windows 7(&D)");

    CommandRow caption { ID_VIEW_CAPTION_BAR, "标题栏", "P", "切换标题栏", "显示或隐藏标题栏",
        [](CommandContext& c, const CommandInput&) { c.window.ToggleCaptionBar(); },
        [](const CommandContext& c) { return Pressed(c.window.captionBarShown()); } };
    caption.needsDocument = false;
    table.Add(std::move(caption));

    CommandRow options { ID_CAPTION_BAR_OPTIONS, "选项...", "", "单击此处查看其他选项", "",
        [](CommandContext& c, const CommandInput&) { c.window.OpenCustomizeDialog(); }, {} };
    options.needsDocument = false;
    table.Add(std::move(options));

    // As in office programs: the tab row stays, the panels fold away and come back.
    CommandRow fold { ID_VIEW_RIBBON_FOLD, "折叠功能区", "N", "折叠功能区", "只显示选项卡名称；再按一次展开功能区",
        [](CommandContext& c, const CommandInput&) { c.window.SetRibbonFolded(!c.window.ribbonFolded()); },
        [](const CommandContext& c) { return Pressed(c.window.ribbonFolded()); } };
    fold.needsDocument = false;
    fold.shortcut = "Ctrl+F1";
    table.Add(std::move(fold));

    CommandRow status { ID_VIEW_STATUS_BAR, "状态栏", "S", "切换状态栏", "显示或隐藏状态栏",
        [](CommandContext& c, const CommandInput&) { c.window.ToggleStatusBar(); },
        [](const CommandContext& c) { return Pressed(c.window.statusBarShown()); } };
    status.needsDocument = false;
    table.Add(std::move(status));

    // The strips folded away give the picture their room; the full screen has no pane anyway.
    CommandRow pane { ID_VIEW_SIDE_PANE, "侧边栏", "C", "显示或隐藏侧边栏",
        "收起右侧的相框、挂件和照片栏，让图像占用它的位置；再按一次恢复。也可双击图像和侧边栏之间的分隔条",
        [](CommandContext& c, const CommandInput&) {
            if (!c.window.pictureFullScreen())
                c.sidePane().ShowPane(!c.sidePane().paneShown());
        },
        [](const CommandContext& c) {
            CommandState state = Pressed(c.sidePane().paneShown());
            state.enabled = !c.window.pictureFullScreen();
            return state;
        } };
    pane.shortcut = "F9";
    table.Add(std::move(pane));

    CommandRow fullScreen { ID_VIEW_FULL_SCREEN, "全屏显示", "Q", "全屏显示", "只显示图像，铺满整个屏幕；按 Esc 退出",
        [](CommandContext& c, const CommandInput&) { c.window.SetPictureFullScreen(!c.window.pictureFullScreen()); },
        [](const CommandContext& c) { return Pressed(c.window.pictureFullScreen()); } };
    fullScreen.needsDocument = false;
    fullScreen.shortcut = "F11";
    table.Add(std::move(fullScreen));

    // Esc undoes what is in progress: the preview grid (the effect left as it was), a region
    // being selected, then the full screen.
    CommandRow escape { ID_ESCAPE, "退出全屏", "", "", "",
        [](CommandContext& c, const CommandInput&) {
            if (c.hasDocument() && c.picture().funPreviewShown()) {
                c.picture().ShowFunPreview(false);
                return;
            }
            if (c.hasDocument() && c.window.CancelPictureSelection())
                return;
            if (c.window.pictureFullScreen())
                c.window.SetPictureFullScreen(false);
        },
        {} };
    escape.needsDocument = false;
    escape.shortcut = "Esc";
    table.Add(std::move(escape));

    // A closed document tab leaves a grey window; this brings the picture back.
    CommandRow open { ID_OPEN_DOCUMENT, "打开摄像窗口", "O", "打开摄像窗口", "重新打开关闭了的摄像窗口（也可双击空白处）",
        [](CommandContext& c, const CommandInput&) { c.window.OpenDocument(); },
        [](const CommandContext& c) {
            CommandState state;
            state.enabled = !c.hasDocument();
            return state;
        } };
    open.needsDocument = false;
    table.Add(std::move(open));

    CommandRow exit { ID_APP_EXIT, "退出(&X)", "X", "退出", "退出应用程序；提示保存文档",
        [](CommandContext& c, const CommandInput&) { c.window.Close(); }, {} };
    exit.needsDocument = false;
    table.Add(std::move(exit));
}
