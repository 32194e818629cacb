#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/SidePanePort.h"
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

bool HasPhoto(const CommandInput& in)
{
    return !in.path.isEmpty() && QFileInfo(in.path).isFile();
}

CommandState EnabledWithPhoto(const CommandContext&, const CommandInput& in)
{
    CommandState state;
    state.enabled = HasPhoto(in);
    return state;
}

// Videos cannot go to the clipboard as a picture.
bool IsImageFile(const QString& path)
{
    return !QImageReader::imageFormat(path).isEmpty();
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

void AddGalleryRows(CommandTable& table)
{
    CommandRow open { ID_PHOTO_OPEN, "打开", "", "", "",
        [](CommandContext& c, const CommandInput& in) {
            if (!HasPhoto(in))
                return;
            if (!c.shell.Open(in.path))
                c.SetStatus(CommandText("无法打开：%1").arg(Shown(in.path)));
        },
        {} };
    open.needsDocument = false;
    open.updateFor = EnabledWithPhoto;
    table.Add(std::move(open));

    CommandRow folder { ID_PHOTO_OPEN_FOLDER, "打开所在文件夹", "", "", "",
        [](CommandContext& c, const CommandInput& in) {
            if (!HasPhoto(in))
                return;
            const QString where = QFileInfo(in.path).absolutePath();
            if (!c.shell.Open(where))
                c.SetStatus(CommandText("无法打开：%1").arg(Shown(where)));
        },
        {} };
    folder.needsDocument = false;
    folder.updateFor = EnabledWithPhoto;
    table.Add(std::move(folder));

    CommandRow copy { ID_PHOTO_COPY, "复制到剪贴板", "", "", "",
        [](CommandContext& c, const CommandInput& in) {
            if (!HasPhoto(in) || !IsImageFile(in.path))
                return;
            const QImage image(in.path); // the first frame of a GIF
            if (image.isNull()) {
                c.SetStatus(CommandText("无法读取：%1").arg(Shown(in.path)));
                return;
            }
            QApplication::clipboard()->setImage(image);
            c.SetStatus(CommandText("已复制到剪贴板：%1").arg(Shown(in.path)));
        },
        {} };
    copy.updateFor = [](const CommandContext&, const CommandInput& in) {
        CommandState state;
        state.enabled = HasPhoto(in) && IsImageFile(in.path);
        return state;
    };
    copy.needsDocument = false;
    table.Add(std::move(copy));

    CommandRow remove { ID_PHOTO_DELETE, "删除", "", "", "",
        [](CommandContext& c, const CommandInput& in) {
            if (!HasPhoto(in))
                return;
            const QString path = in.path;
            const QString name = QFileInfo(path).fileName();
            if (c.messages.OkCancelQuestion(c.window.boxParent(),
                    CommandText("把“%1”移到回收站？").arg(name), CommandText("删除"))
                != MessageChoice::Ok)
                return;
            const TrashResult trashed = c.shell.MoveToTrash(path);
            switch (trashed.outcome) {
            case TrashResult::Outcome::Moved:
                c.SetStatus(CommandText("已移到回收站：%1").arg(Shown(path)));
                break;
            case TrashResult::Outcome::Failed:
                c.SetStatus(CommandText("无法删除：%1").arg(Shown(path)));
                return;
            case TrashResult::Outcome::NoTrash:
                // Without a trash the only way to delete is for good: the user decides again.
                if (c.messages.OkCancelQuestion(c.window.boxParent(),
                        CommandText("找不到可以放入“%1”的回收站。\n\n要永久删除它吗？永久删除后无法恢复。").arg(name),
                        CommandText("永久删除"))
                    != MessageChoice::Ok) {
                    c.SetStatus(CommandText("未删除：%1").arg(Shown(path)));
                    return;
                }
                if (!QFile::remove(path)) {
                    c.SetStatus(CommandText("无法删除：%1").arg(Shown(path)));
                    return;
                }
                c.SetStatus(CommandText("已永久删除：%1").arg(Shown(path)));
                break;
            }
            if (c.hasDocument())
                c.sidePane().ListPhotosAgain();
        },
        {} };
    remove.needsDocument = false;
    remove.updateFor = EnabledWithPhoto;
    table.Add(std::move(remove));
}
