#include "pipeline/DecorationCommands.h"

#include "ui/AppInfo.h"

#include <QCoreApplication>

namespace DecorationCommands {
namespace {
QString Text(const char* source)
{
    return QCoreApplication::translate("DecorationCommands", source);
}

ToggleLook Look(bool shown, const char* shownCaption, const char* hiddenCaption)
{
    return {!shown, Text(shown ? shownCaption : hiddenCaption)};
}

PickDecision Pick(bool cameraRunning, bool shown, const char* hiddenMessage)
{
    if (!cameraRunning)
        return {PickAction::Ignore, {}};
    if (shown)
        return {PickAction::Apply, {}};
    return {PickAction::ShowMessage, Text(hiddenMessage)};
}
} // namespace

QString MessageCaption()
{
    return QString::fromUtf8(AppInfo::kCaption);
}

ToggleLook LogoLook(bool logoShown)
{
    return Look(logoShown, "LOOGO状态：显示", "LOOGO状态：隐藏");
}

ToggleLook FrameLook(bool frameShown)
{
    return Look(frameShown, "相框状态：显示", "相框状态：隐藏");
}

ToggleLook AddOnLook(bool addOnsShown)
{
    return Look(addOnsShown, "挂件状态：显示", "挂件状态：隐藏");
}

PickDecision FramePick(bool cameraRunning, bool frameShown)
{
    return Pick(cameraRunning, frameShown,
                "^_^相框暂时无法添加\n\n目前相框状态为：隐藏~\n\n请首先切换相框状态为：显示~~");
}

PickDecision AddOnPick(bool cameraRunning, bool addOnsShown)
{
    return Pick(cameraRunning, addOnsShown,
                "^_^挂件暂时无法添加\n\n目前挂件状态为：隐藏~\n\n请首先切换挂件状态为：显示~~");
}

} // namespace DecorationCommands
