#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/SidePanePort.h"
#include "app/commands/WindowPort.h"
#include "pipeline/PictureSession.h"
#include "pipeline/PictureModel.h"
#include "settings/SettingsWorkbook.h"
#include "ui/MessageBoxes.h"
#include "ui/PathText.h"
#include "ui/Shell.h"

#include <QCoreApplication>
#include <QDir>

#include <filesystem>

namespace {

using std::filesystem::path;

// Shows the folder in the file manager; the desktop's refusal goes to the status bar.
void OpenFolder(CommandContext& c, const path& folder)
{
    const QString text = PathToQString(folder);
    if (!c.shell.Open(text))
        c.SetStatus(CommandText("无法打开文件夹：%1").arg(text));
}

// Where a chosen folder takes effect at once besides AppFolders.
void UsePhotoFolder(CommandContext& c, const path& folder)
{
    c.model().photos.SetPhotoDir(PathToQString(folder));
    c.sidePane().SetPhotoFolder(folder);
    c.sidePane().ListPhotosAgain();
}

void UseFrameFolder(CommandContext& c, const path& folder)
{
    c.sidePane().SetFrameFolder(folder);
    c.sidePane().ListFrames(c.sidePane().frameKind());
}

void UseAddOnFolder(CommandContext& c, const path& folder)
{
    c.sidePane().SetAddOnFolder(folder);
    c.sidePane().ListAddOns(c.sidePane().addOnKind());
}

// One of the three folders the user may choose.
struct FolderSetting {
    const char* chooserTitle;
    SettingRow row;
    path AppFolders::*field;
    void (*use)(CommandContext&, const path&);
};

const FolderSetting kPhotoFolder { "选择照片存储目录..", SettingRow::PhotoDir, &AppFolders::photoDir, UsePhotoFolder };
const FolderSetting kFrameFolder { "选择相框存储目录..", SettingRow::FrameDir, &AppFolders::frameDir, UseFrameFolder };
const FolderSetting kAddOnFolder { "选择挂件存储目录..", SettingRow::AddOnDir, &AppFolders::addOnDir, UseAddOnFolder };

// A chosen folder ends in the platform's separator; a root such as "/" keeps its single one.
path WithTrailingSeparator(const QString& chosen)
{
    QString native = QDir::toNativeSeparators(chosen);
    if (!native.endsWith(QDir::separator()))
        native += QDir::separator();
    return QStringToPath(native);
}

void ChooseFolder(CommandContext& c, const FolderSetting& setting)
{
    const std::optional<QString> chosen
        = c.shell.ChooseFolder(c.window.boxParent(), CommandText(setting.chooserTitle), PathToQString(c.folders.*setting.field));
    if (!chosen || chosen->isEmpty())
        return; // cancelled: nothing changes
    const path folder = WithTrailingSeparator(*chosen);
    if (!FitsSettingBuffer(FolderText(folder))) {
        // The workbook cannot hold it, so it would be lost at the next start: keep the old one.
        c.messages.Information(c.window.boxParent(), CommandText("文件夹路径太长，请选择一个路径较短的文件夹~\n\n%1").arg(PathToQString(folder)));
        return;
    }
    c.folders.*setting.field = folder;
    setting.use(c, folder);
    OpenFolder(c, folder);
    // A workbook that cannot be written leaves the new folder for this run only, silently.
    (void)StoreFolder(c.folders, setting.row, folder);
}

void AddFolderPair(CommandTable& table, CommandId openId, const char* openCaption, const char* keyTip,
    const char* tipTitle, const char* tipDescription, CommandId chooseId, const char* chooseCaption,
    const FolderSetting& setting)
{
    table.Add({ openId, openCaption, keyTip, tipTitle, tipDescription,
        [&setting](CommandContext& c, const CommandInput&) { OpenFolder(c, c.folders.*setting.field); }, {} });
    table.Add({ chooseId, chooseCaption, "", "", "", [&setting](CommandContext& c, const CommandInput&) { ChooseFolder(c, setting); }, {} });
}

} // namespace

void AddFolderRows(CommandTable& table)
{
    AddFolderPair(table, ID_BUTTON_OPEN_PHOTO_DIR, "打开照片文件夹", "P", "照片文件夹", "打开照片文件夹或者设置自定义目录",
        ID_BUTTON_PHOTO_DIR, "设置照片文件夹 . . .", kPhotoFolder);
    AddFolderPair(table, ID_BUTTON_OPEN_FRAME, "打开相框文件夹", "F", "相框文件夹", "打开相框文件夹或者设置自定义目录",
        ID_BUTTON_FRAME_DIR, "设置相框文件夹 . .", kFrameFolder);
    AddFolderPair(table, ID_BUTTON_OPEN_ADD_ON_DIR, "打开挂件文件夹", "A", "挂件文件夹", "打开挂件文件夹或者设置自定义目录",
        ID_BUTTON_ADD_ON_DIR, "设置挂件文件夹 . .", kAddOnFolder);
}
