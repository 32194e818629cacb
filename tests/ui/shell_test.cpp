#include "ui/PathText.h"
#include "ui/Shell.h"

#include <gtest/gtest.h>

namespace {

TEST(PathTextTest, ChineseFolderNamesSurviveEveryConversion)
{
    const std::string utf8 = "/tmp/乐影屋/大相框";
    const std::filesystem::path path = Utf8ToPath(utf8);
    EXPECT_EQ(PathToUtf8(path), utf8);
    EXPECT_EQ(PathToQString(path), QString::fromUtf8(utf8.c_str()));
    EXPECT_EQ(QStringToPath(QString::fromUtf8(utf8.c_str())), path);
    EXPECT_EQ(PathToUtf8(path.filename()), "大相框");
}

TEST(ShellTest, AScopedServiceReplacesTheDesktopAndIsRestored)
{
    Shell& desktop = DesktopServices();
    RecordingShell recording;
    recording.chosenFolder = QString("/tmp/照片");
    {
        ScopedShell install(recording);
        EXPECT_EQ(&DesktopServices(), &recording);
        EXPECT_TRUE(DesktopServices().Open("/tmp/x"));
        EXPECT_EQ(DesktopServices().ChooseFolder(nullptr, "t", "/start"), QString("/tmp/照片"));
    }
    EXPECT_EQ(&DesktopServices(), &desktop);
    EXPECT_EQ(recording.opened, std::vector<QString> { "/tmp/x" });
    EXPECT_EQ(recording.chooserStarts, std::vector<QString> { "/start" });
    EXPECT_EQ(recording.chooserTitles, std::vector<QString> { "t" });
}

} // namespace
