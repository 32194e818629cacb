#include "ui/FileNameBytes.h"
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

TEST(FileNameBytesTest, NamesThatAreNotUtf8KeepTheirBytesEverywhere)
{
    for (const QByteArray& bytes : {QByteArray("/tmp/caf\xE9.png"),                 // Latin-1
                                    QByteArray("/tmp/\xB6\xAF\xCE\xEF.gif"),          // GBK
                                    QByteArray("/tmp/\xE4\xB9\x90\xE4\xB9.jpg"),     // cut short
                                    QByteArray("/tmp/\xED\xA0\x80\xC0\xAF.png")}) { // surrogate, overlong
        const QString name = FileNameFromBytes(bytes);
        EXPECT_TRUE(HasRawBytes(name));
        EXPECT_EQ(FileNameToBytes(name), bytes);
        EXPECT_TRUE(FileUrl(name).toEncoded().startsWith("file:///tmp/"));
        EXPECT_EQ(QByteArray::fromPercentEncoding(FileUrl(name).toEncoded().mid(7)), bytes);
    }
    const QByteArray utf8("/tmp/乐影屋/café.png");
    EXPECT_EQ(FileNameFromBytes(utf8), QString::fromUtf8(utf8));
    EXPECT_FALSE(HasRawBytes(FileNameFromBytes(utf8)));
    EXPECT_EQ(FileUrl(QString::fromUtf8(utf8)), QUrl::fromLocalFile(QString::fromUtf8(utf8)));
    EXPECT_EQ(ReadableFileName(FileNameFromBytes("caf\xE9.png")), QString::fromUtf8("café.png"));
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
