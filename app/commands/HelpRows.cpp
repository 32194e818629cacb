#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "ui/AppInfo.h"
#include "ui/MessageBoxes.h"
#include "ui/PathText.h"
#include "ui/Shell.h"
#include "ui/Translations.h"

#include <QCoreApplication>

namespace {

CommandRow WindowRow(CommandRow row)
{
    row.needsDocument = false;
    return row;
}

} // namespace

std::filesystem::path GuidePath(const AppFolders& folders, InterfaceLanguage language)
{
    if (language == InterfaceLanguage::English) {
        // An English reader is better served by the Chinese guide than by none.
        const std::filesystem::path english = folders.systemDir / AppInfo::kGuideFileEnglish;
        std::error_code error;
        if (std::filesystem::exists(english, error))
            return english;
    }
    return folders.systemDir / AppInfo::kGuideFile;
}

QString AboutMessage()
{
    // One literal, so that the translation finds the whole text.
    return CommandText("Parvel乐影屋 V2.0\n\n献给每一个爱笑的人：愿镜头前的你天天开心。\n建议与问题请到乐影屋主页留言：%1")
        .arg(QString::fromUtf8(AppInfo::kHomePage));
}

void AddHelpRows(CommandTable& table)
{
    table.Add(WindowRow({ ID_BUTTON_ABOUT, "关于 Parvel乐影屋", "B", "关于本软件", "献给每一个爱笑的人",
        [](CommandContext& c, const CommandInput&) { c.messages.Information(c.window.boxParent(), AboutMessage(), CommandText("关于 Parvel乐影屋")); },
        {} }));
    table.Add(WindowRow({ ID_APP_ABOUT, "关于", "A", "关于", "显示程序信息、版本号和版权信息",
        [](CommandContext& c, const CommandInput&) {
            c.window.OpenAboutDialog();
        },
        {} }));

    // The guide is looked up in the system folder, in the interface's language; a missing file is
    // the desktop's to report, and its refusal shows in the status bar.
    CommandRow guide = WindowRow({ ID_BUTTON_DOC, "使用指南", "D", "使用指南", "打开乐影屋的使用说明",
        [](CommandContext& c, const CommandInput&) {
            const QString path = PathToQString(GuidePath(c.folders, CurrentInterfaceLanguage()));
            if (!c.shell.Open(path))
                c.SetStatus(CommandText("无法打开使用指南：%1").arg(path));
        },
        {} });
    guide.shortcut = "F1";
    table.Add(std::move(guide));

    // Each language is named in itself, so that a reader of either finds their own.
    table.Add(WindowRow({ ID_LANGUAGE_CHINESE, "中文", "Z", "界面语言", "使用中文界面，下次启动时也使用中文",
        [](CommandContext& c, const CommandInput&) { c.window.SetInterfaceLanguage(InterfaceLanguage::Chinese); },
        [](const CommandContext&) { return Pressed(CurrentInterfaceLanguage() == InterfaceLanguage::Chinese); } }));
    table.Add(WindowRow({ ID_LANGUAGE_ENGLISH, "English", "E", "界面语言", "使用英文界面，下次启动时也使用英文",
        [](CommandContext& c, const CommandInput&) { c.window.SetInterfaceLanguage(InterfaceLanguage::English); },
        [](const CommandContext&) { return Pressed(CurrentInterfaceLanguage() == InterfaceLanguage::English); } }));

    table.Add(WindowRow({ ID_SYSLINK_MY_WEB, "我的博客", "L", "访问我的博客", "提出您的宝贵意见",
        [](CommandContext& c, const CommandInput&) {
            const QString page = QString::fromUtf8(AppInfo::kHomePage);
            if (!c.shell.OpenLink(page))
                c.SetStatus(CommandText("无法打开网页：%1").arg(page));
        },
        {} }));
}
