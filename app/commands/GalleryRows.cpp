#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "decorations/CFrameView.h"
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

QString Text(const char* source)
{
    return QCoreApplication::translate("Commands", source);
}

bool HasPhoto(const CommandContext& c)
{
    return !c.photoUnderMenu.isEmpty() && QFileInfo(c.photoUnderMenu).isFile();
}

CommandState EnabledWithPhoto(const CommandContext& c)
{
    CommandState state;
    state.enabled = HasPhoto(c);
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
        [](CommandContext& c) {
            if (!HasPhoto(c))
                return;
            if (!c.shell.Open(c.photoUnderMenu))
                c.setStatus(Text("无法打开：%1").arg(Shown(c.photoUnderMenu)));
        },
        EnabledWithPhoto };
    open.needsDocument = false;
    table.Add(std::move(open));

    CommandRow folder { ID_PHOTO_OPEN_FOLDER, "打开所在文件夹", "", "", "",
        [](CommandContext& c) {
            if (!HasPhoto(c))
                return;
            const QString where = QFileInfo(c.photoUnderMenu).absolutePath();
            if (!c.shell.Open(where))
                c.setStatus(Text("无法打开：%1").arg(Shown(where)));
        },
        EnabledWithPhoto };
    folder.needsDocument = false;
    table.Add(std::move(folder));

    CommandRow copy { ID_PHOTO_COPY, "复制到剪贴板", "", "", "",
        [](CommandContext& c) {
            if (!HasPhoto(c) || !IsImageFile(c.photoUnderMenu))
                return;
            const QImage image(c.photoUnderMenu); // the first frame of a GIF
            if (image.isNull()) {
                c.setStatus(Text("无法读取：%1").arg(Shown(c.photoUnderMenu)));
                return;
            }
            QApplication::clipboard()->setImage(image);
            c.setStatus(Text("已复制到剪贴板：%1").arg(Shown(c.photoUnderMenu)));
        },
        [](const CommandContext& c) {
            CommandState state;
            state.enabled = HasPhoto(c) && IsImageFile(c.photoUnderMenu);
            return state;
        } };
    copy.needsDocument = false;
    table.Add(std::move(copy));

    CommandRow remove { ID_PHOTO_DELETE, "删除", "", "", "",
        [](CommandContext& c) {
            if (!HasPhoto(c))
                return;
            const QString path = c.photoUnderMenu;
            const QString name = QFileInfo(path).fileName();
            if (c.messages.OkCancelQuestion(c.hasDocument() ? static_cast<QWidget*>(&c.pane()) : nullptr,
                    Text("把“%1”移到回收站？").arg(name), Text("删除"))
                != MessageChoice::Ok)
                return;
            if (!QFile::moveToTrash(path)) {
                c.setStatus(Text("无法删除：%1").arg(Shown(path)));
                return;
            }
            c.photoUnderMenu.clear();
            c.setStatus(Text("已移到回收站：%1").arg(Shown(path)));
            if (c.hasDocument())
                c.pane().OnPhotoSaved(); // lists the folder again
        },
        EnabledWithPhoto };
    remove.needsDocument = false;
    table.Add(std::move(remove));
}
