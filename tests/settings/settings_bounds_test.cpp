// Loaded settings values are brought into their ranges, and each correction names the row and
// what its cell held.
#include "settings/ExcelDocument.h"
#include "app/AppFolders.h"
#include "settings/SettingsWorkbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace {

namespace fs = std::filesystem;

struct Case {
    SettingRow row;
    int value;
    bool inRange;
};

class SettingBounds : public ::testing::TestWithParam<Case> {};

int& Field(SettingsValues& v, SettingRow row)
{
    switch (row) {
    case SettingRow::ImageWidth: return v.imageWidth;
    case SettingRow::ImageHeight: return v.imageHeight;
    case SettingRow::CameraDetected: return v.cameraDetected;
    default: return v.delaySeconds;
    }
}

TEST_P(SettingBounds, ValueAtTheEdge)
{
    const Case c = GetParam();
    SettingsValues values;
    // Values other than the defaults everywhere else, to see that only the row's own go back.
    values.imageWidth = 1920;
    values.imageHeight = 1080;
    values.cameraDetected = 1;
    values.delaySeconds = 10;
    Field(values, c.row) = c.value;
    const SettingsValues before = values;

    const auto problems = BoundSettingsValues(values);
    if (c.inRange) {
        EXPECT_TRUE(problems.empty());
        EXPECT_EQ(Field(values, c.row), c.value);
        return;
    }
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].row, c.row);
    EXPECT_EQ(problems[0].value, c.value);
    EXPECT_EQ(problems[0].cellText, std::to_string(c.value)); // no cell: the value itself
    EXPECT_EQ(problems[0].replacement, Field(values, c.row));
    switch (c.row) {
    case SettingRow::ImageWidth:
    case SettingRow::ImageHeight:
        EXPECT_EQ(values.imageWidth, 640); // both together
        EXPECT_EQ(values.imageHeight, 480);
        EXPECT_EQ(values.delaySeconds, before.delaySeconds);
        break;
    case SettingRow::CameraDetected:
        EXPECT_EQ(values.cameraDetected, 0);
        EXPECT_EQ(values.imageWidth, before.imageWidth);
        break;
    default:
        EXPECT_EQ(values.delaySeconds, 5);
        EXPECT_EQ(values.imageHeight, before.imageHeight);
        break;
    }
}

constexpr SettingRow W = SettingRow::ImageWidth, H = SettingRow::ImageHeight, C = SettingRow::CameraDetected,
                     D = SettingRow::DelaySeconds;

INSTANTIATE_TEST_SUITE_P(Edges, SettingBounds, ::testing::Values(
    Case{W, 15, false}, Case{W, 16, true}, Case{W, 7680, true}, Case{W, 7681, false}, Case{W, 0, false},
    Case{W, -640, false}, Case{W, 100000, false},
    Case{H, 15, false}, Case{H, 16, true}, Case{H, 4320, true}, Case{H, 4321, false}, Case{H, 0, false},
    Case{H, -1, false}, Case{H, 100000, false},
    Case{C, 0, true}, Case{C, 1, true}, Case{C, 2, false}, Case{C, -1, false}, Case{C, 100000, false},
    Case{D, 0, false}, Case{D, 1, true}, Case{D, 3600, true}, Case{D, 3601, false}, Case{D, -5, false},
    Case{D, 100000, false}));

TEST(SettingBoundsAll, DefaultsAreInRange)
{
    SettingsValues values;
    EXPECT_TRUE(BoundSettingsValues(values).empty());
}

TEST(SettingBoundsAll, EveryRowWrongGivesOneProblemPerRowInRowOrder)
{
    SettingsValues values;
    values.imageWidth = 0;
    values.imageHeight = 100000;
    values.cameraDetected = 7;
    values.delaySeconds = -1;
    const auto problems = BoundSettingsValues(values);
    ASSERT_EQ(problems.size(), 4u);
    const SettingRow rows[] = {W, H, C, D};
    const int replacements[] = {640, 480, 0, 5};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(problems[i].row, rows[i]);
        EXPECT_EQ(problems[i].replacement, replacements[i]);
    }
}

// Through the workbook: the problem shows the cell as the user typed it.
TEST(SettingBoundsAll, ProblemsQuoteTheCellsAsLoaded)
{
    const fs::path appDir = fs::temp_directory_path() / "parvel_setting_bounds";
    fs::remove_all(appDir);
    fs::create_directories(appDir / "system");
    AppFolders folders = AppFolders::FromAppDir(appDir);
    {
        ExcelDocument doc;
        doc.NewBook({u"Sheet1"});
        SheetGrid& g = *doc.SheetAt(0);
        g.CellAt(4, 1)->SetAnsiText("wide");         // not a number: 0
        g.CellAt(5, 1)->SetDouble(4320.75);           // 4320 after truncation: in range
        g.CellAt(6, 1)->SetInteger(1);
        g.CellAt(7, 1)->SetAnsiText("  100000 seconds");
        ASSERT_TRUE(doc.WriteBook(SettingsWorkbookPath(folders.systemDir)).ok());
    }
    SettingsValues values;
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    const auto problems = BoundSettingsValues(values);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].row, W);
    EXPECT_EQ(problems[0].cellText, "wide");
    EXPECT_EQ(problems[0].value, 0);
    EXPECT_EQ(problems[1].row, D);
    EXPECT_EQ(problems[1].cellText, "  100000 seconds");
    EXPECT_EQ(problems[1].value, 100000);
    EXPECT_EQ(values.imageWidth, 640);
    EXPECT_EQ(values.imageHeight, 480); // 4320 was fine, but goes with the width
    EXPECT_EQ(values.cameraDetected, 1);
    EXPECT_EQ(values.delaySeconds, 5);
    fs::remove_all(appDir);
}

// Numbers too large to write out, and no numbers at all, are out of range like any other:
// replaced, and quoted in a form the status bar can show.
TEST(SettingBoundsAll, HugeAndNonFiniteNumbersAreReportedLikeAnyOther)
{
    const fs::path appDir = fs::temp_directory_path() / "parvel_setting_bounds_huge";
    fs::remove_all(appDir);
    fs::create_directories(appDir / "system");
    AppFolders folders = AppFolders::FromAppDir(appDir);
    {
        ExcelDocument doc;
        doc.NewBook({u"Sheet1"});
        SheetGrid& g = *doc.SheetAt(0);
        g.CellAt(4, 1)->SetDouble(1e300);
        g.CellAt(5, 1)->SetAnsiText(std::string(300, '7')); // longer than any setting may be
        g.CellAt(6, 1)->SetDouble(std::numeric_limits<double>::quiet_NaN()); // would read as 0
        g.CellAt(7, 1)->SetDouble(-std::numeric_limits<double>::infinity());
        ASSERT_TRUE(doc.WriteBook(SettingsWorkbookPath(folders.systemDir)).ok());
    }
    SettingsValues values;
    values.cameraDetected = 1;
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    const auto problems = BoundSettingsValues(values);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0].row, W);
    EXPECT_EQ(problems[0].cellText, "1e+300");
    EXPECT_EQ(problems[1].row, H);
    EXPECT_EQ(problems[1].cellText, std::string(40, '7') + "…");
    EXPECT_EQ(problems[2].row, C);
    EXPECT_NE(problems[2].cellText.find("nan"), std::string::npos) << problems[2].cellText;
    EXPECT_EQ(problems[3].row, D);
    EXPECT_EQ(problems[3].cellText, "-inf");
    EXPECT_EQ(values.imageWidth, 640);
    EXPECT_EQ(values.imageHeight, 480);
    EXPECT_EQ(values.cameraDetected, 0);
    EXPECT_EQ(values.delaySeconds, 5);
    fs::remove_all(appDir);
}

} // namespace
