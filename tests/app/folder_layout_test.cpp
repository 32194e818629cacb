#include "QtTestApp.h"

#include "app/AppFolders.h"
#include "app/FolderLayout.h"
#include "settings/ExcelDocument.h"
#include "settings/SettingsWorkbook.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// A program folder laid out as the build leaves it, or as `cmake --install` does, in a
// temporary folder; the user's configuration and pictures folders are temporary too.
class FolderLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }

    FolderLayoutInputs Inputs() const
    {
        return { root.filePath("prefix/bin"), root.filePath("prefix/bin/../share/parvelwebcam"),
                 root.filePath("home/.config/Tolvek/ParvelWebcam"), root.filePath("home/Pictures") };
    }
    void MakeInstalled(int delaySeconds = 5)
    {
        const FolderLayoutInputs in = Inputs();
        ASSERT_TRUE(QDir().mkpath(in.appDir));
        ASSERT_TRUE(QDir().mkpath(in.dataDir + "/大相框"));
        ASSERT_TRUE(QDir().mkpath(in.dataDir + "/小挂件"));
        ExcelDocument doc;
        doc.NewBook({ u"Sheet1" });
        doc.SheetAt(0)->CellAt(7, 1)->SetInteger(delaySeconds);
        ASSERT_TRUE(doc.WriteBook(SettingsWorkbookPath(QStringToPath(in.dataDir))).ok());
    }
    static std::filesystem::path P(const QString& text) { return QStringToPath(QDir::cleanPath(text)); }

    QTemporaryDir root;
};

TEST_F(FolderLayoutTest, SystemFolderBesideTheProgramKeepsEverythingBesideItAndCreatesNothing)
{
    MakeInstalled(); // an installation elsewhere does not matter while `system` is there
    const FolderLayoutInputs in = Inputs();
    ASSERT_TRUE(QDir().mkpath(in.appDir + "/system"));
    EXPECT_EQ(DecideFolderLayout(in), FolderLayout::Portable);

    const AppFolders folders = MakeAppFolders(in);
    const AppFolders expected = AppFolders::FromAppDir(P(in.appDir));
    EXPECT_EQ(folders.systemDir, expected.systemDir);
    EXPECT_EQ(folders.configDir, folders.systemDir);
    EXPECT_EQ(folders.photoDir, P(in.appDir + "/UserData/Photo"));
    EXPECT_EQ(folders.frameDir, expected.frameDir);
    EXPECT_EQ(folders.addOnDir, expected.addOnDir);
    EXPECT_EQ(folders.creatablePhotoDir, folders.photoDir); // made by the first photo

    // No workbook in system/: none is made, and the user's configuration folder stays untouched.
    EXPECT_TRUE(PrepareSettingsWorkbook(folders));
    EXPECT_FALSE(QFileInfo::exists(PathToQString(SettingsWorkbookPath(folders.configDir))));
    EXPECT_FALSE(QFileInfo::exists(in.configDir));
    SettingsValues values;
    AppFolders loaded = folders;
    EXPECT_FALSE(LoadSettings(loaded, values).ok());
}

TEST_F(FolderLayoutTest, NothingBesideTheProgramAndNothingInstalledRunsOnThePortableDefaults)
{
    const FolderLayoutInputs in = Inputs();
    ASSERT_TRUE(QDir().mkpath(in.appDir));
    EXPECT_EQ(DecideFolderLayout(in), FolderLayout::Portable);
    EXPECT_EQ(MakeAppFolders(in).systemDir, P(in.appDir + "/system"));
}

TEST_F(FolderLayoutTest, InstalledProgramReadsSharedFilesAndKeepsWorkbookAndPhotosInTheUsersFolders)
{
    MakeInstalled();
    const FolderLayoutInputs in = Inputs();
    EXPECT_EQ(DecideFolderLayout(in), FolderLayout::Installed);

    const AppFolders folders = MakeAppFolders(in);
    EXPECT_EQ(folders.systemDir, P(root.filePath("prefix/share/parvelwebcam")));
    EXPECT_EQ(folders.frameDir, folders.systemDir / u8"大相框");
    EXPECT_EQ(folders.addOnDir, folders.systemDir / u8"小挂件");
    EXPECT_EQ(folders.configDir, P(in.configDir));
    EXPECT_EQ(folders.photoDir, P(in.picturesDir) / u8"Parvel 乐影屋");
    EXPECT_EQ(folders.creatablePhotoDir, folders.photoDir);
    // The pictures folder is made by the first photo, not at start.
    EXPECT_FALSE(QFileInfo::exists(PathToQString(folders.photoDir)));
}

TEST_F(FolderLayoutTest, FirstStartCopiesTheShippedWorkbookAndLaterStartsKeepTheUsersCopy)
{
    MakeInstalled(9);
    AppFolders folders = MakeAppFolders(Inputs());
    const QString shipped = PathToQString(SettingsWorkbookPath(folders.systemDir));
    const QString users = PathToQString(SettingsWorkbookPath(folders.configDir));
    // Installed files are read-only; the copy must not be.
    ASSERT_TRUE(QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));

    ASSERT_TRUE(PrepareSettingsWorkbook(folders));
    ASSERT_TRUE(QFileInfo::exists(users));
    SettingsValues values;
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(values.delaySeconds, 9);

    // A change goes to the user's copy; the shipped workbook stays as shipped.
    QFile shippedFile(shipped);
    ASSERT_TRUE(shippedFile.open(QIODevice::ReadOnly));
    const QByteArray shippedBytes = shippedFile.readAll();
    ASSERT_TRUE(StoreDelaySeconds(folders, values, 12).ok());
    ASSERT_TRUE(StoreFolder(folders, SettingRow::PhotoDir, QStringToPath(root.filePath("mine/"))).ok());
    QFile again(shipped);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), shippedBytes);

    // The next start finds the user's copy and does not replace it.
    ASSERT_TRUE(PrepareSettingsWorkbook(folders));
    AppFolders next = MakeAppFolders(Inputs());
    SettingsValues nextValues;
    ASSERT_TRUE(LoadSettings(next, nextValues).ok());
    EXPECT_EQ(nextValues.delaySeconds, 12);
    EXPECT_EQ(next.photoDir, QStringToPath(root.filePath("mine/")));
}

TEST_F(FolderLayoutTest, MissingShippedWorkbookIsReportedAndNothingIsLeftBehind)
{
    MakeInstalled();
    const AppFolders folders = MakeAppFolders(Inputs());
    ASSERT_TRUE(QFile::remove(PathToQString(SettingsWorkbookPath(folders.systemDir))));
    EXPECT_FALSE(PrepareSettingsWorkbook(folders));
    EXPECT_FALSE(QFileInfo::exists(PathToQString(SettingsWorkbookPath(folders.configDir))));
}

} // namespace
