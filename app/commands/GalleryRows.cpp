#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/SidePanePort.h"
#include "app/commands/ViewerPort.h"
#include "app/commands/WindowPort.h"
#include "ui/MessageBoxes.h"
#include "ui/Shell.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace {

// The file a photo's row acts on: the one under the strip's menu, or else the one the viewer
// shows.
struct PhotoTarget {
    QString path;
    bool inViewer = false;
};

PhotoTarget TargetOf(const CommandContext& c, const CommandInput& in)
{
    if (!in.path.isEmpty())
        return { in.path, false };
    if (c.viewer != nullptr) {
        if (QString shown = c.viewer->shownPath(); !shown.isEmpty())
            return { shown, true };
    }
    return {};
}

bool HasPhoto(const PhotoTarget& target)
{
    return !target.path.isEmpty() && QFileInfo(target.path).isFile();
}

CommandState EnabledWithPhoto(const CommandContext& c, const CommandInput& in)
{
    CommandState state;
    state.enabled = HasPhoto(TargetOf(c, in));
    return state;
}

// Videos cannot go to the clipboard as a picture from the menu; the viewer gives the frame it
// shows.
bool IsImageFile(const QString& path)
{
    return !QImageReader::imageFormat(path).isEmpty();
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// What a row did: in the status bar, and in the viewer when the row acted there.
void Tell(const CommandContext& c, const PhotoTarget& target, const QString& text)
{
    c.SetStatus(text);
    if (target.inViewer)
        c.viewer->ShowNote(text);
}

QWidget* BoxParent(const CommandContext& c, const PhotoTarget& target)
{
    return target.inViewer ? c.viewer->boxParent() : c.window.boxParent();
}

// The trash, or for good where there is no trash and the user agrees again. The viewer lets go
// of the file first and shows the next one when it went.
void DeletePhoto(CommandContext& c, const PhotoTarget& target)
{
    const QString path = target.path;
    const QString name = QFileInfo(path).fileName();
    if (c.messages.OkCancelQuestion(BoxParent(c, target), CommandText("把“%1”移到回收站？").arg(name),
            CommandText("删除"))
        != MessageChoice::Ok)
        return;
    if (c.viewer != nullptr)
        c.viewer->ReleaseFile(path);
    const TrashResult trashed = c.shell.MoveToTrash(path);
    switch (trashed.outcome) {
    case TrashResult::Outcome::Moved:
        Tell(c, target, CommandText("已移到回收站：%1").arg(Shown(path)));
        break;
    case TrashResult::Outcome::Failed:
        Tell(c, target, CommandText("无法删除：%1").arg(Shown(path)));
        break;
    case TrashResult::Outcome::NoTrash:
        // Without a trash the only way to delete is for good: the user decides again.
        if (c.messages.OkCancelQuestion(BoxParent(c, target),
                CommandText("找不到可以放入“%1”的回收站。\n\n要永久删除它吗？永久删除后无法恢复。").arg(name),
                CommandText("永久删除"))
            != MessageChoice::Ok) {
            Tell(c, target, CommandText("未删除：%1").arg(Shown(path)));
            break;
        }
        if (!QFile::remove(path)) {
            Tell(c, target, CommandText("无法删除：%1").arg(Shown(path)));
            break;
        }
        Tell(c, target, CommandText("已永久删除：%1").arg(Shown(path)));
        break;
    }
    if (c.viewer != nullptr)
        c.viewer->FileSettled(path);
    if (c.hasDocument() && !QFileInfo::exists(path))
        c.sidePane().ListPhotosAgain();
}

CommandState WithViewer(const CommandContext& c, bool enabled)
{
    CommandState state;
    state.enabled = c.viewer != nullptr && !c.viewer->shownPath().isEmpty() && enabled;
    return state;
}

// A row of the viewer's own: its key works in the viewer's window only.
CommandRow ViewerRow(CommandRow row, const char* shortcut)
{
    row.needsDocument = false;
    row.shortcut = shortcut;
    row.keyPlace = KeyPlace::Viewer;
    return row;
}

void AddViewerRows(CommandTable& table)
{
    table.Add(ViewerRow({ ID_VIEWER_PREVIOUS, "上一张", "", "上一张", "看前一个（更新的）文件，照片栏中它的左边那个",
        [](CommandContext& c, const CommandInput&) {
            if (c.viewer != nullptr)
                c.viewer->Step(-1);
        },
        [](const CommandContext& c) { return WithViewer(c, c.viewer != nullptr && c.viewer->CanStep(-1)); } },
        "Left"));
    table.Add(ViewerRow({ ID_VIEWER_NEXT, "下一张", "", "下一张", "看后一个（更早的）文件，照片栏中它的右边那个",
        [](CommandContext& c, const CommandInput&) {
            if (c.viewer != nullptr)
                c.viewer->Step(1);
        },
        [](const CommandContext& c) { return WithViewer(c, c.viewer != nullptr && c.viewer->CanStep(1)); } },
        "Right"));
    table.Add(ViewerRow({ ID_VIEWER_PLAY, "暂停", "", "暂停或播放", "让动图或视频停在这一帧，再按一次接着播放",
        [](CommandContext& c, const CommandInput&) {
            if (c.viewer != nullptr && c.viewer->moving())
                c.viewer->SetPlaying(!c.viewer->playing());
        },
        [](const CommandContext& c) {
            CommandState state = WithViewer(c, c.viewer != nullptr && c.viewer->moving());
            const bool paused = c.viewer != nullptr && c.viewer->moving() && !c.viewer->playing();
            state.caption = paused ? CommandText("播放") : CommandText("暂停");
            return state;
        } },
        "Space"));
    table.Add(ViewerRow({ ID_VIEWER_CLOSE, "关闭", "", "关闭", "关闭照片查看，回到乐影屋",
        [](CommandContext& c, const CommandInput&) {
            if (c.viewer != nullptr)
                c.viewer->CloseViewer();
        },
        {} },
        "Esc"));
}

} // namespace

void AddGalleryRows(CommandTable& table)
{
    CommandRow view { ID_PHOTO_VIEW, "查看", "", "查看", "在乐影屋里放大查看，用左右方向键翻看其他照片",
        [](CommandContext& c, const CommandInput& in) {
            if (!in.path.isEmpty())
                c.window.ShowInViewer(in.path);
        },
        {} };
    view.needsDocument = false;
    view.updateFor = [](const CommandContext&, const CommandInput& in) {
        CommandState state;
        state.enabled = !in.path.isEmpty() && QFileInfo(in.path).isFile();
        return state;
    };
    table.Add(std::move(view));

    CommandRow open { ID_PHOTO_OPEN, "打开方式", "", "打开方式", "交给系统中打开这类文件的程序",
        [](CommandContext& c, const CommandInput& in) {
            const PhotoTarget target = TargetOf(c, in);
            if (!HasPhoto(target))
                return;
            if (!c.shell.Open(target.path))
                Tell(c, target, CommandText("无法打开：%1").arg(Shown(target.path)));
        },
        {} };
    open.needsDocument = false;
    open.updateFor = EnabledWithPhoto;
    open.keyPlace = KeyPlace::Viewer;
    table.Add(std::move(open));

    CommandRow folder { ID_PHOTO_OPEN_FOLDER, "打开所在文件夹", "", "", "",
        [](CommandContext& c, const CommandInput& in) {
            const PhotoTarget target = TargetOf(c, in);
            if (!HasPhoto(target))
                return;
            const QString where = QFileInfo(target.path).absolutePath();
            if (!c.shell.Open(where))
                Tell(c, target, CommandText("无法打开：%1").arg(Shown(where)));
        },
        {} };
    folder.needsDocument = false;
    folder.updateFor = EnabledWithPhoto;
    table.Add(std::move(folder));

    CommandRow copy { ID_PHOTO_COPY, "复制", "", "复制", "把这张图片复制到剪贴板（动图和视频：正在显示的这一帧）",
        [](CommandContext& c, const CommandInput& in) {
            const PhotoTarget target = TargetOf(c, in);
            if (!HasPhoto(target))
                return;
            QImage image;
            if (target.inViewer)
                image = c.viewer->shownPicture();
            else if (IsImageFile(target.path))
                image = QImage(target.path); // the first frame of a GIF
            else
                return;
            if (image.isNull()) {
                Tell(c, target, CommandText("无法读取：%1").arg(Shown(target.path)));
                return;
            }
            QApplication::clipboard()->setImage(image);
            Tell(c, target, CommandText("已复制到剪贴板：%1").arg(Shown(target.path)));
        },
        {} };
    copy.updateFor = [](const CommandContext& c, const CommandInput& in) {
        const PhotoTarget target = TargetOf(c, in);
        CommandState state;
        state.enabled = HasPhoto(target)
            && (target.inViewer ? !c.viewer->shownPicture().isNull() : IsImageFile(target.path));
        return state;
    };
    copy.needsDocument = false;
    copy.shortcut = "Ctrl+C";
    copy.keyPlace = KeyPlace::Viewer;
    table.Add(std::move(copy));

    CommandRow remove { ID_PHOTO_DELETE, "删除", "", "删除", "把这个文件移到回收站",
        [](CommandContext& c, const CommandInput& in) {
            const PhotoTarget target = TargetOf(c, in);
            if (HasPhoto(target))
                DeletePhoto(c, target);
        },
        {} };
    remove.needsDocument = false;
    remove.updateFor = EnabledWithPhoto;
    remove.shortcut = "Delete";
    remove.keyPlace = KeyPlace::Viewer;
    table.Add(std::move(remove));

    AddViewerRows(table);
}
