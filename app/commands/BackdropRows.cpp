#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "pipeline/BackdropLibrary.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureSession.h"
#include "ui/PathText.h"
#include "ui/Shell.h"

#include <QSettings>

#include <filesystem>

namespace {

const QString kFolderKey = QStringLiteral("backdrop/folder");
const QString kPictureKey = QStringLiteral("backdrop/picture");

std::filesystem::path ShippedBackdrops(const CommandContext& c)
{
    return c.folders.systemDir / u8"背景";
}

// The user's backdrop folder: the one chosen, else the default beside the photos.
std::filesystem::path UserBackdrops(const CommandContext& c)
{
    const QString chosen = QSettings().value(kFolderKey).toString();
    return chosen.isEmpty() ? c.folders.backdropDir : QStringToPath(chosen);
}

// The user's folder, made when it is the default one and missing: a user told to put backdrops
// there must find it. A chosen folder that went is not made again; false when it is not there.
bool EnsureUserBackdrops(const CommandContext& c)
{
    const std::filesystem::path folder = UserBackdrops(c);
    std::error_code error;
    if (folder == c.folders.backdropDir)
        std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::vector<BackdropEntry> Backdrops(const CommandContext& c)
{
    return ListBackdrops(ShippedBackdrops(c), UserBackdrops(c));
}

// Opens a backdrop for the picture; false, with why in the status bar, for a file that is none.
bool UseBackdrop(CommandContext& c, const QString& path)
{
    std::shared_ptr<BackdropPlayer> player = BackdropPlayer::Open(path);
    if (!player) {
        c.SetStatus(CommandText("无法打开这个背景：%1").arg(path));
        return false;
    }
    c.model().backdrop.SetPlayer(std::move(player), path);
    QSettings().setValue(kPictureKey, path);
    return true;
}

// The replacement needs a picture: the last one chosen, else the first offered.
void EnsureBackdrop(CommandContext& c)
{
    if (c.model().backdrop.hasPlayer())
        return;
    const QString remembered = QSettings().value(kPictureKey).toString();
    if (!remembered.isEmpty() && BackdropPlayer::Open(remembered) && UseBackdrop(c, remembered))
        return;
    for (const BackdropEntry& entry : Backdrops(c))
        if (UseBackdrop(c, entry.path))
            return;
}

// After a change of look: the learnt room is learnt first when it is needed and missing.
void LearnIfNeeded(CommandContext& c)
{
    const PictureSettings s = c.model().settings.Snapshot();
    if (!BackdropNeedsRoom(s, c.model().backdrop.roomReady()) || c.picture().learningActive())
        return;
    if (!c.picture().StartLearning())
        c.SetStatus(CommandText("开启摄像机后，先学习背景"));
}

CommandState WhileRunning(const CommandContext& c, bool pressed)
{
    CommandState state;
    state.enabled = c.cameraRunning();
    state.pressed = pressed;
    return state;
}

void AddClothRow(CommandTable& table, CommandId id, const char* caption, const char* keyTip, const cv::Scalar& colour)
{
    table.Add({ id, caption, keyTip, "绿幕", "用这种颜色的幕布把人和背景分开，无需学习背景",
        [colour](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([&colour](PictureSettings& s) { UseClothColour(s, colour); });
            if (c.model().settings.Snapshot().backdrop.look == BackdropLook::Replace)
                EnsureBackdrop(c);
        },
        [colour](const CommandContext& c) { return Pressed(ClothPressed(c.model().settings.Snapshot(), colour)); } });
}

} // namespace

void AddBackdropRows(CommandTable& table)
{
    table.Add({ ID_BACKDROP_REPLACE, "背景替换", "RR", "背景替换", "把你身后的房间换成另一幅画面；第一次使用时先学习空房间",
        [](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([](PictureSettings& s) { ToggleBackdropReplace(s); });
            if (c.model().settings.Snapshot().backdrop.look == BackdropLook::Replace) {
                EnsureBackdrop(c);
                LearnIfNeeded(c);
            }
        },
        [](const CommandContext& c) {
            return Pressed(c.model().settings.Snapshot().backdrop.look == BackdropLook::Replace);
        } });

    CommandRow learn { ID_BACKDROP_LEARN, "学习背景", "RL", "学习背景",
        "倒数三秒，请离开画面，让程序记住空房间的样子",
        [](CommandContext& c, const CommandInput&) { c.picture().StartLearning(); },
        [](const CommandContext& c) { return WhileRunning(c, c.hasDocument() && c.picture().learningActive()); } };
    learn.whenDisabled = "请先开启摄像机";
    table.Add(std::move(learn));

    table.Add({ ID_BACKDROP_CLOTH, "绿幕", "RK", "绿幕", "身后挂一块绿色或蓝色的布，按颜色分开人和背景",
        [](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([](PictureSettings& s) { ToggleClothKey(s); });
            const PictureSettings s = c.model().settings.Snapshot();
            if (s.backdrop.look == BackdropLook::Replace)
                EnsureBackdrop(c);
            LearnIfNeeded(c);
        },
        [](const CommandContext& c) { return Pressed(c.model().settings.Snapshot().backdrop.keyed); } });
    AddClothRow(table, ID_BACKDROP_CLOTH_GREEN, "绿色", "G", kGreenCloth);
    AddClothRow(table, ID_BACKDROP_CLOTH_BLUE, "蓝色", "U", kBlueCloth);
    CommandRow pick { ID_BACKDROP_CLOTH_PICK, "点击画面取色", "P", "绿幕", "在画面上点一下幕布，用那里的颜色分开人和背景",
        [](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([](PictureSettings& s) { ArmClothPick(s); });
            if (ClothPickArmed(c.model().settings.Snapshot()))
                c.SetStatus(CommandText("请在画面上点一下幕布"));
        },
        [](const CommandContext& c) { return WhileRunning(c, c.hasDocument() && ClothPickArmed(c.model().settings.Snapshot())); } };
    pick.whenDisabled = "请先开启摄像机";
    table.Add(std::move(pick));

    table.Add({ ID_BACKDROP_BLUR, "虚化背景", "RB", "虚化背景", "人物清晰，身后的房间变得模糊",
        [](CommandContext& c, const CommandInput&) {
            c.model().settings.Change([](PictureSettings& s) { ToggleBackdropBlur(s); });
            LearnIfNeeded(c);
        },
        [](const CommandContext& c) { return Pressed(c.model().settings.Snapshot().backdrop.look == BackdropLook::Blur); } });

    table.Add({ ID_BACKDROP_GALLERY, "背景画面", "RD", "背景画面",
        "选一幅背景：图片、动图或循环播放的视频，也可以放进你自己的背景文件夹",
        [](CommandContext& c, const CommandInput& in) {
            if (in.path.isEmpty() || !UseBackdrop(c, in.path))
                return;
            c.model().settings.Change([](PictureSettings& s) { s.backdrop.look = BackdropLook::Replace; });
            LearnIfNeeded(c);
        },
        [](const CommandContext& c) {
            CommandState state;
            const QString chosen = c.model().backdrop.playerPath();
            int index = 0;
            for (const BackdropEntry& entry : Backdrops(c)) {
                if (entry.path == chosen)
                    state.value = index;
                state.items.push_back(entry.path);
                ++index;
            }
            if (!state.value)
                state.value = -1;
            return state;
        } });

    table.Add({ ID_BACKDROP_FOLDER, "背景文件夹...", "F", "背景文件夹", "选择放你自己的背景图片、动图和视频的文件夹",
        [](CommandContext& c, const CommandInput&) {
            EnsureUserBackdrops(c); // so the chooser starts in a folder it can choose
            const std::optional<QString> chosen = c.shell.ChooseFolder(
                c.window.boxParent(), CommandText("选择背景文件夹"), PathToQString(UserBackdrops(c)));
            if (!chosen || chosen->isEmpty())
                return;
            QSettings().setValue(kFolderKey, *chosen);
            c.SetStatus(CommandText("背景文件夹：%1").arg(*chosen));
        },
        {} });

    table.Add({ ID_BACKDROP_OPEN_FOLDER, "打开背景文件夹", "O", "打开背景文件夹",
        "在文件管理器中打开你自己的背景文件夹，把图片、动图和视频放进去",
        [](CommandContext& c, const CommandInput&) {
            const QString folder = PathToQString(UserBackdrops(c));
            if (!EnsureUserBackdrops(c)) {
                c.SetStatus(CommandText("背景文件夹不存在：%1").arg(folder));
                return;
            }
            if (!c.shell.Open(folder))
                c.SetStatus(CommandText("无法打开背景文件夹：%1").arg(folder));
        },
        {} });
}
