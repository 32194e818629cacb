#include "settings/ExcelDocument.h"
#include "app/AppFolders.h"
#include "settings/SettingsWorkbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

class SettingsWorkbook : public ::testing::Test {
protected:
    void SetUp() override
    {
        appDir = fs::temp_directory_path() / ("parvel_settings_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(appDir);
        fs::create_directories(appDir / "system");
        folders = AppFolders::FromAppDir(appDir);
        defaults = folders;
    }
    void TearDown() override { fs::remove_all(appDir); }

    fs::path Workbook() const { return appDir / "system" / "Configure.xls"; }

    // Writes a one-sheet workbook whose cells are set by fill.
    void MakeWorkbook(const std::function<void(SheetGrid&)>& fill, std::vector<std::u16string> sheets = {u"Sheet1"})
    {
        ExcelDocument doc;
        doc.NewBook(sheets);
        if (!sheets.empty())
            fill(*doc.SheetAt(0));
        ASSERT_TRUE(doc.WriteBook(Workbook()).ok());
    }

    SheetGrid& Reopen()
    {
        reopened = std::make_unique<ExcelDocument>();
        EXPECT_TRUE(reopened->OpenBook(Workbook()).ok());
        return *reopened->SheetAt(0);
    }

    void ExpectDefaultFolders()
    {
        EXPECT_EQ(folders.photoDir, defaults.photoDir);
        EXPECT_EQ(folders.frameDir, defaults.frameDir);
        EXPECT_EQ(folders.addOnDir, defaults.addOnDir);
    }

    fs::path appDir;
    AppFolders folders;
    AppFolders defaults;
    SettingsValues values;
    std::unique_ptr<ExcelDocument> reopened;
};

TEST_F(SettingsWorkbook, DelayAloneInB8)
{
    MakeWorkbook([](SheetGrid& g) { g.CellAt(7, 1)->SetInteger(12); });
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(values.delaySeconds, 12);
    EXPECT_EQ(values.imageWidth, 640);
    EXPECT_EQ(values.imageHeight, 480);
    EXPECT_EQ(values.cameraDetected, 0);
    ExpectDefaultFolders();
}

TEST_F(SettingsWorkbook, NumberRowsReadTheLeadingDigitsOfAnyCell)
{
    MakeWorkbook([](SheetGrid& g) {
        g.CellAt(4, 1)->SetAnsiText("  +800 wide");
        g.CellAt(5, 1)->SetAnsiText("480abc");
        g.CellAt(6, 1)->SetAnsiText("abc");
        g.CellAt(7, 1)->SetDouble(9.99);
    });
    values.cameraDetected = 3;
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(values.imageWidth, 800);
    EXPECT_EQ(values.imageHeight, 480);
    EXPECT_EQ(values.cameraDetected, 0);
    EXPECT_EQ(values.delaySeconds, 9);
}

TEST_F(SettingsWorkbook, DoubleInAFolderRowReadsWithSixDecimals)
{
    MakeWorkbook([](SheetGrid& g) { g.CellAt(1, 1)->SetDouble(1.5); });
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(folders.photoDir, fs::path("1.500000"));
}

TEST_F(SettingsWorkbook, SheetWithColumnAOnlyReadsNothing)
{
    MakeWorkbook([](SheetGrid& g) {
        for (std::uint32_t r = 0; r < 8; ++r)
            g.CellAt(r, 0)->SetInteger(99);
    });
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(values.imageWidth, 640);
    EXPECT_EQ(values.delaySeconds, 5);
    ExpectDefaultFolders();
}

TEST_F(SettingsWorkbook, RowsUpToThreeSetOnlyTheFolders)
{
    MakeWorkbook([](SheetGrid& g) {
        g.CellAt(1, 1)->SetAnsiText("/photos/");
        g.CellAt(2, 1)->SetWideText(u"/相框/");
        g.CellAt(3, 1)->SetAnsiText("caf\xE9/");   // an 8-bit string: Latin-1
    });
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(folders.photoDir, fs::path("/photos/"));
    EXPECT_EQ(folders.frameDir, fs::path(u8"/相框/"));
    EXPECT_EQ(folders.addOnDir, fs::path(u8"café/"));
    EXPECT_EQ(values.imageWidth, 640);
    EXPECT_EQ(values.imageHeight, 480);
    EXPECT_EQ(values.cameraDetected, 0);
    EXPECT_EQ(values.delaySeconds, 5);
}

TEST_F(SettingsWorkbook, StoringTheDelayGrowsAFiveRowSheetAndKeepsTheRest)
{
    MakeWorkbook([](SheetGrid& g) {
        g.CellAt(0, 0)->SetWideText(u"设置");
        g.CellAt(0, 1)->SetAnsiText("value");
        g.CellAt(4, 1)->SetInteger(1024);
    });
    ASSERT_EQ(Reopen().RowCount(), 5u);
    ASSERT_TRUE(StoreDelaySeconds(folders, values, 9).ok());
    EXPECT_EQ(values.delaySeconds, 9);
    SheetGrid& g = Reopen();
    EXPECT_EQ(g.RowCount(), 8u);
    EXPECT_EQ(reopened->Worksheets()[0].dimensions.lastUsedRowPlus1, 8u);
    EXPECT_EQ(g.CellAt(7, 1)->AsInteger(), 9);
    EXPECT_EQ(g.CellAt(0, 0)->WideText(), u"设置");
    EXPECT_EQ(g.CellAt(0, 1)->AnsiText(), "value");
    EXPECT_EQ(g.CellAt(4, 1)->AsInteger(), 1024);
    EXPECT_FALSE(fs::exists(Workbook().string() + ".new"));
}

TEST_F(SettingsWorkbook, CameraProbeWritesThreeRowsAndTheNextStartSkipsIt)
{
    MakeWorkbook([](SheetGrid& g) { g.CellAt(7, 1)->SetInteger(5); });
    ASSERT_TRUE(StoreCameraProbe(folders, 1280, 720).ok());
    EXPECT_EQ(values.imageWidth, 640);  // memory unchanged until the next start
    SettingsValues next;
    ASSERT_TRUE(LoadSettings(folders, next).ok());
    EXPECT_EQ(next.imageWidth, 1280);
    EXPECT_EQ(next.imageHeight, 720);
    EXPECT_EQ(next.cameraDetected, 1);
    EXPECT_EQ(Reopen().CellAt(4, 1)->Type(), CellType::Integer);
}

TEST_F(SettingsWorkbook, FoldersRoundTripAsAsciiOrWideText)
{
    MakeWorkbook([](SheetGrid&) {});
    ASSERT_TRUE(StoreFolder(folders, SettingRow::PhotoDir, fs::path("/home/user/Pictures/")).ok());
    ASSERT_TRUE(StoreFolder(folders, SettingRow::FrameDir, fs::path(u8"/home/用户/图片/")).ok());
    SheetGrid& g = Reopen();
    EXPECT_EQ(g.CellAt(1, 1)->Type(), CellType::AnsiText);
    EXPECT_EQ(g.CellAt(2, 1)->Type(), CellType::WideText);
    AppFolders loaded = defaults;
    ASSERT_TRUE(LoadSettings(loaded, values).ok());
    EXPECT_EQ(loaded.photoDir, fs::path("/home/user/Pictures/"));
    EXPECT_EQ(loaded.frameDir, fs::path(u8"/home/用户/图片/"));
    EXPECT_EQ(loaded.addOnDir, defaults.addOnDir);
}

TEST_F(SettingsWorkbook, MissingWorkbookFailsAndIsNeverCreated)
{
    EXPECT_FALSE(LoadSettings(folders, values).ok());
    EXPECT_EQ(values.imageWidth, 640);
    ExpectDefaultFolders();
    EXPECT_FALSE(StoreFolder(folders, SettingRow::PhotoDir, fs::path("/elsewhere/")).ok());
    EXPECT_EQ(folders.photoDir, fs::path("/elsewhere/"));  // in force for this run
    EXPECT_FALSE(fs::exists(Workbook()));
    EXPECT_TRUE(fs::is_empty(appDir / "system"));
}

TEST_F(SettingsWorkbook, TextTooLongForTheBufferIsRefusedAndNothingWritten)
{
    MakeWorkbook([](SheetGrid& g) { g.CellAt(1, 1)->SetAnsiText("/old/"); });
    const auto before = ReadFile(Workbook());
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    const fs::path longFolder = "/" + std::string(262, 'x') + "/";   // 264 bytes
    EXPECT_EQ(StoreFolder(folders, SettingRow::PhotoDir, longFolder).code(), StatusCode::TooLarge);
    EXPECT_EQ(folders.photoDir, fs::path("/old/"));
    EXPECT_EQ(ReadFile(Workbook()), before);
    const fs::path fits = "/" + std::string(261, 'x') + "/";         // 263 bytes
    EXPECT_TRUE(StoreFolder(folders, SettingRow::PhotoDir, fits).ok());
}

TEST_F(SettingsWorkbook, FailedWriteLeavesTheWorkbookIntact)
{
    MakeWorkbook([](SheetGrid& g) { g.CellAt(7, 1)->SetInteger(5); });
    const auto before = ReadFile(Workbook());
    fs::create_directory(Workbook().string() + ".new");   // the new file cannot be written
    EXPECT_FALSE(StoreDelaySeconds(folders, values, 30).ok());
    EXPECT_EQ(ReadFile(Workbook()), before);
}

TEST_F(SettingsWorkbook, ReadOnlyWorkbookLoadsAndAStoreSaysSoWithoutATouch)
{
    MakeWorkbook([](SheetGrid& g) {
        g.CellAt(1, 1)->SetAnsiText("/photos/");
        g.CellAt(7, 1)->SetInteger(12);
    });
    EXPECT_TRUE(SettingsFileWritable(Workbook()));
    EXPECT_FALSE(SettingsFileWritable(appDir / "system" / "missing.xls"));
    const auto before = ReadFile(Workbook());
    fs::permissions(Workbook(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(folders.photoDir, fs::path("/photos/"));
    EXPECT_EQ(values.delaySeconds, 12);
    // Read-only as the store sees it, whoever runs the test.
    const WritableCheck readOnly = [](const fs::path&) { return false; };
    const SettingWrite writes[] = {{SettingRow::DelaySeconds, 30}, {SettingRow::PhotoDir, std::string("/elsewhere/")}};
    EXPECT_EQ(StoreSettings(folders.systemDir, writes, readOnly).code(), StatusCode::ReadOnly);
    EXPECT_EQ(ReadFile(Workbook()), before);
    EXPECT_FALSE(fs::exists(Workbook().string() + ".new"));
    // What cannot be loaded says so first; refused values are refused before the file is read.
    EXPECT_EQ(StoreSettings(appDir, writes, readOnly).code(), StatusCode::IoError);
    const SettingWrite wrongRow{SettingRow::PhotoDir, 5};
    EXPECT_EQ(StoreSettings(folders.systemDir, std::span(&wrongRow, 1), readOnly).code(), StatusCode::InvalidArgument);
}

TEST_F(SettingsWorkbook, WorkbookWithoutWritePermissionRefusesEveryStore)
{
    MakeWorkbook([](SheetGrid& g) { g.CellAt(7, 1)->SetInteger(12); });
    const auto before = ReadFile(Workbook());
    fs::permissions(Workbook(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (SettingsFileWritable(Workbook()))
        GTEST_SKIP() << "this process may write files without write permission (root)";
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(values.delaySeconds, 12);
    EXPECT_EQ(StoreDelaySeconds(folders, values, 30).code(), StatusCode::ReadOnly);
    EXPECT_EQ(StoreFolder(folders, SettingRow::PhotoDir, fs::path("/elsewhere/")).code(), StatusCode::ReadOnly);
    EXPECT_EQ(StoreCameraProbe(folders, 1280, 720).code(), StatusCode::ReadOnly);
    EXPECT_EQ(ReadFile(Workbook()), before);
    EXPECT_EQ(values.delaySeconds, 30);                  // in force for this run
    EXPECT_EQ(folders.photoDir, fs::path("/elsewhere/"));
}

TEST_F(SettingsWorkbook, DamagedWorkbookIsNeverRewritten)
{
    MakeWorkbook([](SheetGrid& g) { g.CellAt(7, 1)->SetInteger(5); });
    auto bytes = ReadFile(Workbook());
    bytes.resize(bytes.size() - 700);
    std::ofstream(Workbook(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_FALSE(LoadSettings(folders, values).ok());
    EXPECT_FALSE(StoreDelaySeconds(folders, values, 30).ok());
    EXPECT_EQ(ReadFile(Workbook()), bytes);
}

TEST_F(SettingsWorkbook, WorkbookWithoutSheetsLoadsDefaultsAndStoresNothingNew)
{
    MakeWorkbook([](SheetGrid&) {}, {});
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(values.delaySeconds, 5);
    EXPECT_TRUE(StoreDelaySeconds(folders, values, 7).ok());
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBook(Workbook()).ok());
    EXPECT_EQ(doc.SheetCount(), 0u);
}

TEST_F(SettingsWorkbook, MismatchedRowsAndValuesAreRefused)
{
    MakeWorkbook([](SheetGrid&) {});
    const SettingWrite textForNumber{SettingRow::DelaySeconds, std::string("5")};
    EXPECT_EQ(StoreSettings(folders.systemDir, std::span(&textForNumber, 1)).code(), StatusCode::InvalidArgument);
    const SettingWrite numberForFolder{SettingRow::PhotoDir, 5};
    EXPECT_EQ(StoreSettings(folders.systemDir, std::span(&numberForFolder, 1)).code(), StatusCode::InvalidArgument);
}

TEST_F(SettingsWorkbook, InstalledWorkbookLoadsTheDefaults)
{
    // The workbook as shipped, which running the program from the build folder never changes.
    const fs::path installed = fs::path(PARVEL_BIN_DIR) / ".." / "shipped" / "system" / "Configure.xls";
    if (!fs::exists(installed))
        GTEST_SKIP() << "the ready-to-run folder has not been laid out";
    fs::copy_file(installed, Workbook());
    folders.photoDir = "x";
    values.imageWidth = 1;
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(folders.photoDir, fs::path("x"));  // rows 1 to 3 are empty
    EXPECT_EQ(values.imageWidth, 640);
    EXPECT_EQ(values.imageHeight, 480);
    EXPECT_EQ(values.cameraDetected, 0);
    EXPECT_EQ(values.delaySeconds, 5);
    EXPECT_EQ(Reopen().RowCount(), 8u);
    EXPECT_EQ(Reopen().ColumnCount(), 2u);
}

} // namespace
