#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "pipeline/FunEffectNames.h"
#include "pipeline/PictureModel.h"
#include "pipeline/PictureSession.h"

#include <QSettings>


namespace {

const char* const kFunEffectKey = "FunEffect";

CommandId FunEffectCommand(FunEffect effect)
{
    return static_cast<CommandId>(ID_FUN_NONE + int(effect));
}

FunEffect CurrentFunEffect(const CommandContext& c)
{
    return c.model().settings.Snapshot().funEffect;
}

const char* FunEffectTip(FunEffect effect)
{
    switch (effect) {
    case kFunNone:
        return "关闭趣味特效，恢复原图";
    case kFunBulge:
        return "画面中间鼓起来，像凸透镜";
    case kFunPinch:
        return "画面中间缩进去，像凹透镜";
    case kFunTwirl:
        return "画面中间旋转成漩涡";
    case kFunStretch:
        return "把画面拉长，变成高个子";
    case kFunSqueeze:
        return "把画面压扁，变成矮胖子";
    case kFunFishEye:
        return "像透过鱼眼镜头看世界";
    case kFunMirror:
        return "左半边照到右半边，左右一模一样";
    case kFunKaleidoscope:
        return "六瓣对称的万花筒";
    case kFunLightTunnel:
        return "中间的画面向四周拉成光的隧道";
    case kFunBigHead:
        return "脸变得大大的，跟着脸走";
    case kFunThinFace:
        return "脸变得瘦瘦的，跟着脸走";
    case kFunThermal:
        return "像热像仪一样用颜色表示冷热";
    case kFunXRay:
        return "像X光片一样的蓝色透视";
    case kFunComic:
        return "平涂的颜色和墨线，像漫画书";
    case kFunPop:
        return "四格四种颜色的波普艺术";
    case kFunMosaic:
        return "大块的马赛克像素";
    case kFunOldFilm:
        return "泛黄、划痕和闪烁的老电影";
    }
    return "";
}

void SelectFunEffect(CommandContext& c, FunEffect effect)
{
    c.model().settings.Change([effect](PictureSettings& s) { s.funEffect = effect; });
    RememberFunEffect(effect);
    // A pick from the grid or the gallery ends the choosing.
    c.picture().ShowFunPreview(false);
}

void AddEffectRow(CommandTable& table, FunEffect effect)
{
    table.Add({ FunEffectCommand(effect), FunEffectSourceName(effect), "", "趣味特效", FunEffectTip(effect),
        [effect](CommandContext& c, const CommandInput&) { SelectFunEffect(c, effect); },
        [effect](const CommandContext& c) { return Pressed(CurrentFunEffect(c) == effect); } });
}

CommandState ShownPreviewOnly(const CommandContext& c)
{
    CommandState state;
    state.enabled = c.cameraRunning() && c.picture().funPreviewShown();
    return state;
}

} // namespace

FunEffect RememberedFunEffect()
{
    return FunEffectFromStored(QSettings().value(kFunEffectKey, int(kFunNone)).toInt());
}

void RememberFunEffect(FunEffect effect)
{
    QSettings().setValue(kFunEffectKey, int(effect));
}

void AddFunRows(CommandTable& table)
{
    AddEffectRow(table, kFunNone);
    for (FunEffect effect : kFunEffects)
        AddEffectRow(table, effect);

    // The drop-down of pictures: each cell runs its effect's row; the button names the current one.
    table.Add({ ID_FUN_GALLERY, "趣味特效", "J", "趣味特效", "哈哈镜、万花筒、热成像……一次选一种，叠在特效风格之上", {},
        [](const CommandContext& c) {
            CommandState state;
            const FunEffect current = CurrentFunEffect(c);
            if (current != kFunNone)
                state.caption = CommandText("趣味特效：%1").arg(FunEffectName(current));
            return state;
        } });

    CommandRow preview { ID_FUN_PREVIEW, "特效预览", "I", "特效预览",
        "图像区显示九宫格的实时预览，点一格就选中那个特效；方向键或滚轮翻页，Esc 退出",
        [](CommandContext& c, const CommandInput&) {
            if (c.cameraRunning())
                c.picture().ShowFunPreview(!c.picture().funPreviewShown());
        },
        [](const CommandContext& c) {
            CommandState state = Pressed(c.cameraRunning() && c.picture().funPreviewShown());
            state.enabled = c.cameraRunning();
            if (!state.enabled)
                state.reason = CommandText("打开摄像头后才能预览");
            return state;
        } };
    preview.shortcut = "Ctrl+E";
    preview.whenDisabled = "打开摄像头后才能预览特效";
    table.Add(std::move(preview));

    CommandRow back { ID_FUN_PAGE_BACK, "上一页", "", "特效预览", "预览上一页的特效",
        [](CommandContext& c, const CommandInput&) { c.picture().TurnFunPreviewPage(-1); }, ShownPreviewOnly };
    back.shortcut = "Left";
    table.Add(std::move(back));
    CommandRow next { ID_FUN_PAGE_NEXT, "下一页", "", "特效预览", "预览下一页的特效",
        [](CommandContext& c, const CommandInput&) { c.picture().TurnFunPreviewPage(1); }, ShownPreviewOnly };
    next.shortcut = "Right";
    table.Add(std::move(next));
}
