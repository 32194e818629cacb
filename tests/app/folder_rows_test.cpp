#include "CommandRig.h"
#include "TestImages.h"

#include "decorations/ConstrainedPhoto.h"
#include "decorations/Photostrip.h"

#include <QFileInfo>

namespace {

class FolderRowsTest : public CommandRig {
protected:
    QString MakeFolder(const QString& name, const QStringList& pngs = {}, const QStringList& gifs = {})
    {
        const QDir folder(QDir(dir.path()).filePath(name));
        EXPECT_TRUE(folder.mkpath("."));
        const QColor palette[3] = { Qt::red, Qt::green, Qt::blue };
        for (const QString& png : pngs)
            EXPECT_TRUE(testimages::WritePng(folder.filePath(png), 20, 20, Qt::red));
        for (const QString& gif : gifs)
            EXPECT_TRUE(testimages::WriteGif(folder.filePath(gif), 16, 16, { { 0, 10 }, { 1, 10 } }, palette));
        return folder.path();
    }
    static QString WithSeparator(const QString& folder) { return QDir::toNativeSeparators(folder) + QDir::separator(); }
    QStringList Listed(Photostrip* strip) const
    {
        pane()->WaitForLoads();
        QStringList names;
        for (const auto& thumbnail : strip->thumbnails())
            names << QFileInfo(thumbnail->path()).fileName();
        names.sort();
        return names;
    }
};

TEST_F(FolderRowsTest, ChosenPhotoFolderIsUsedOpenedAndStoredWithOneTrailingSeparator)
{
    const QString pics = MakeFolder("Pics");
    QImage old(32, 24, QImage::Format_RGB32);
    old.fill(Qt::gray);
    ASSERT_TRUE(old.save(QDir(pics).filePath("old.jpg"), "JPG"));
    const QString start = PathToQString(folders.photoDir);
    shell.chosenFolder = pics;
    Run(ID_BUTTON_PHOTO_DIR);

    const QString expected = WithSeparator(pics);
    EXPECT_EQ(shell.chooserTitles, std::vector<QString> { "选择照片存储目录.." });
    EXPECT_EQ(shell.chooserStarts.front(), start);
    EXPECT_EQ(shell.chooserParents.front(), view());
    EXPECT_EQ(PathToQString(folders.photoDir), expected);
    EXPECT_EQ(shell.opened, std::vector<QString> { expected });
    EXPECT_EQ(PathToQString(StoredFolders().photoDir), expected);
    EXPECT_EQ(webcam()->model().photos.photoDir(), expected); // photos go there from now on
    EXPECT_EQ(Listed(pane()->photoStrip()), QStringList { "old.jpg" });

    shell.chosenFolder = QDir::rootPath(); // a root keeps its single separator
    Run(ID_BUTTON_ADD_ON_DIR);
    EXPECT_EQ(PathToQString(StoredFolders().addOnDir), QDir::toNativeSeparators(QDir::rootPath()));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FolderRowsTest, CancelledOrTooLongChoicesChangeNothing)
{
    const AppFolders before = folders;
    const std::string workbook = WorkbookBytes();
    for (CommandId id : { ID_BUTTON_PHOTO_DIR, ID_BUTTON_FRAME_DIR, ID_BUTTON_ADD_ON_DIR }) {
        shell.chosenFolder = std::nullopt;
        Run(id);
    }
    EXPECT_TRUE(boxes.shown.empty());
    // The workbook could not hold this one, so the next start would lose it: refused, said why.
    shell.chosenFolder = QDir(dir.path()).filePath(QString(300, QLatin1Char('x')));
    Run(ID_BUTTON_PHOTO_DIR);
    EXPECT_EQ(boxes.shown.size(), 1u);

    EXPECT_EQ(shell.chooserTitles.size(), 4u);
    EXPECT_EQ(folders.photoDir, before.photoDir);
    EXPECT_EQ(folders.frameDir, before.frameDir);
    EXPECT_EQ(folders.addOnDir, before.addOnDir);
    EXPECT_EQ(webcam()->model().photos.photoDir(), PathToQString(before.photoDir));
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(WorkbookBytes(), workbook);
}

TEST_F(FolderRowsTest, NewFrameOrAddOnFolderIsListedAtOnceInItsStripsKind)
{
    const QString frames = MakeFolder("相框", { "a.png", "b.png" }, { "c.gif" });
    shell.chosenFolder = frames;
    Run(ID_BUTTON_FRAME_DIR);
    EXPECT_EQ(shell.chooserTitles.back(), "选择相框存储目录..");
    EXPECT_EQ(PathToQString(StoredFolders().frameDir), WithSeparator(frames));
    EXPECT_EQ(Listed(pane()->frameStrip()), (QStringList { "a.png", "b.png" })); // PNG frames at start

    Run(ID_BUTTON_ADD_ON_PNG);
    shell.chosenFolder = MakeFolder("挂件", { "still.png" }, { "spin.gif" });
    Run(ID_BUTTON_ADD_ON_DIR);
    EXPECT_EQ(shell.chooserTitles.back(), "选择挂件存储目录..");
    EXPECT_EQ(Listed(pane()->addOnStrip()), QStringList { "still.png" });
}

TEST_F(FolderRowsTest, KindRowsShowTheKindAndRescanOnlyWhenItChanges)
{
    EXPECT_TRUE(*Update(ID_BUTTON_FRAME_PNG).pressed);
    EXPECT_FALSE(*Update(ID_BUTTON_FRAME_GIF).pressed);
    EXPECT_TRUE(*Update(ID_BUTTON_ADD_ON_GIF).pressed);
    EXPECT_FALSE(table.Run(ID_BUTTON_FRAME_TYPE, *context)); // drop-down parents only open

    const QDir frameDir(PathToQString(folders.frameDir));
    const QColor palette[3] = { Qt::red, Qt::green, Qt::blue };
    ASSERT_TRUE(testimages::WriteGif(frameDir.filePath("one.gif"), 16, 16, { { 0, 10 } }, palette));
    ASSERT_TRUE(testimages::WritePng(frameDir.filePath("one.png"), 20, 20, Qt::red));
    Run(ID_BUTTON_FRAME_GIF);
    EXPECT_TRUE(*Update(ID_BUTTON_FRAME_GIF).pressed);
    EXPECT_FALSE(*Update(ID_BUTTON_FRAME_PNG).pressed);
    EXPECT_EQ(Listed(pane()->frameStrip()), QStringList { "one.gif" });
    // Pressed again: no rescan, so a file added meanwhile is not listed yet.
    ASSERT_TRUE(testimages::WriteGif(frameDir.filePath("two.gif"), 16, 16, { { 0, 10 } }, palette));
    Run(ID_BUTTON_FRAME_GIF);
    EXPECT_EQ(Listed(pane()->frameStrip()), QStringList { "one.gif" });
    Run(ID_BUTTON_FRAME_PNG);
    EXPECT_EQ(Listed(pane()->frameStrip()), QStringList { "one.png" });
}

TEST_F(FolderRowsTest, OpenRowsAskTheShellForEachFolderAndReportARefusal)
{
    Run(ID_BUTTON_OPEN_PHOTO_DIR);
    Run(ID_BUTTON_OPEN_FRAME);
    Run(ID_BUTTON_OPEN_ADD_ON_DIR);
    EXPECT_EQ(shell.opened, (std::vector<QString> { PathToQString(folders.photoDir), PathToQString(folders.frameDir),
                                PathToQString(folders.addOnDir) }));
    EXPECT_TRUE(status.isEmpty());
    shell.openSucceeds = false;
    Run(ID_BUTTON_OPEN_FRAME);
    EXPECT_TRUE(status.contains(PathToQString(folders.frameDir)));
}

} // namespace
