#include "QtTestApp.h"

#include "app/CommandLine.h"
#include "app/HelpColumns.h"
#include "ui/Translations.h"

#include <set>

#include <gtest/gtest.h>

#include <QFile>

#include <QTemporaryDir>

namespace {

CommandLine Parse(QStringList arguments)
{
    arguments.prepend("parvelwebcam");
    return CommandLine::Parse(arguments);
}

TEST(CommandLineParseTest, OptionsAreReadInBothSpellings)
{
    EnsureQtApp();
    const CommandLine plain = Parse({});
    EXPECT_TRUE(plain.ok);
    EXPECT_EQ(plain.action, CommandLine::Action::Run);
    EXPECT_EQ(plain.source, "0");
    EXPECT_FALSE(plain.stats);
    EXPECT_TRUE(plain.lang.isEmpty());

    QTemporaryDir dir;
    const QString clip = dir.filePath("摄像头.mp4");
    QFile(clip).open(QIODevice::WriteOnly); // a file that is there: checked when it plays
    const CommandLine all = Parse({ "--source", clip, "--stats", "--lang=en" });
    ASSERT_TRUE(all.ok) << all.error.toStdString();
    EXPECT_EQ(all.source, clip.toStdString());
    EXPECT_TRUE(all.stats);
    EXPECT_EQ(all.lang, "en");
    EXPECT_EQ(Parse({ "--lang", "zh" }).lang, "zh_CN");
    EXPECT_EQ(Parse({ "--lang=zh-CN" }).lang, "zh_CN");
    EXPECT_EQ(Parse({ "--source=/dev/video2" }).source, "/dev/video2");
    EXPECT_EQ(Parse({ "--source", "test:16x4320" }).source, "test:16x4320");
    for (const char* scene : { "test:booth", "test:green", "test:booth:1280x720", "test:green:16x16" }) {
        const CommandLine booth = Parse({ "--source", scene });
        EXPECT_TRUE(booth.ok) << scene << ": " << booth.error.toStdString();
        EXPECT_EQ(booth.source, scene);
    }
}

TEST(CommandLineParseTest, HelpAndVersionArePrintedInsteadOfRunning)
{
    EnsureQtApp();
    const CommandLine help = Parse({ "--help" });
    ASSERT_TRUE(help.ok);
    EXPECT_EQ(help.action, CommandLine::Action::PrintAndExit);
    for (const char* option : { "--source", "--lang", "--stats", "--version" })
        EXPECT_TRUE(help.output.contains(option)) << option;
    const CommandLine version = Parse({ "--source", "test", "--version" });
    EXPECT_EQ(version.action, CommandLine::Action::PrintAndExit);
    EXPECT_TRUE(version.output.contains(QCoreApplication::applicationVersion()));
}

// A Chinese character takes two columns of a terminal: the descriptions still start in one column
// and no line runs past 80 columns, in both languages.
TEST(CommandLineParseTest, HelpDescriptionsStandInOneColumnInEitherLanguage)
{
    EnsureQtApp();
    EXPECT_EQ(TerminalWidth(QStringLiteral("<来源>")), 6);
    for (const InterfaceLanguage language : { InterfaceLanguage::Chinese, InterfaceLanguage::English }) {
        InstallTranslations(language);
        const QString help = Parse({ "--help" }).output;
        std::set<int> columns;
        int optionLines = 0;
        for (const QString& line : help.split('\n')) {
            EXPECT_LE(TerminalWidth(line), 80) << line.toStdString();
            if (!line.startsWith(QStringLiteral("  ")))
                continue;
            // Where the description starts: after the names and their gap, or the indent of a
            // continued description.
            const qsizetype gap = line.startsWith(QStringLiteral("  -")) ? line.indexOf(QStringLiteral("  "), 2)
                                                                          : 0;
            qsizetype start = gap;
            while (start < line.size() && line.at(start) == ' ')
                ++start;
            columns.insert(TerminalWidth(line.left(start)));
            optionLines += gap > 0;
        }
        EXPECT_EQ(optionLines, 5);
        EXPECT_EQ(columns.size(), 1u) << help.toStdString();
    }
    InstallTranslations(InterfaceLanguage::Chinese);
}

TEST(CommandLineParseTest, MistakesAreRefusedWithAMessageNamingThem)
{
    EnsureQtApp();
    struct Case {
        QStringList arguments;
        const char* named;
    };
    const Case cases[] = {
        { { "--bogus" }, "bogus" },
        { { "--source=" }, "--source" },
        { { "--source" }, "source" },
        { { "--source", "1", "--source", "2" }, "--source" },
        { { "--lang", "fr" }, "fr" },
        { { "clip.mp4" }, "clip.mp4" },
        // A test scene of no size, or of one no picture has, is not taken for a file name.
        { { "--source", "test:0x0" }, "test:0x0" },
        { { "--source", "test:15x480" }, "test:15x480" },
        { { "--source=test:99999x99999" }, "test:99999x99999" },
        { { "--source", "test:abc" }, "test:abc" },
        { { "--source", "test:" }, "test:" },
        { { "--source", "test:booth:15x480" }, "test:booth:15x480" },
        { { "--source", "test:green:" }, "test:green:" },
        { { "--source", "test:boothy" }, "test:boothy" },
        // A video file that is not there is named, not taken for a missing camera.
        { { "--source", "nope.mp4" }, "nope.mp4" },
        { { "--source", "/no/such/folder/clip.mp4" }, "/no/such/folder/clip.mp4" },
        { { "--source", "/tmp" }, "/tmp" },
    };
    for (const Case& c : cases) {
        const CommandLine result = Parse(c.arguments);
        EXPECT_FALSE(result.ok) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.action, CommandLine::Action::Run);
        EXPECT_TRUE(result.error.contains(c.named)) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains("--help")) << result.error.toStdString();
    }
}

TEST(CommandLineParseTest, LanguageIsFoundBeforeTheFullParse)
{
    const QStringList base { "parvelwebcam", "--source", "test" };
    EXPECT_EQ(CommandLine::RequestedLanguage(base + QStringList { "--lang", "EN" }), "en");
    EXPECT_EQ(CommandLine::RequestedLanguage(base + QStringList { "--lang=zh" }), "zh_CN");
    EXPECT_EQ(CommandLine::RequestedLanguage(base + QStringList { "--lang=klingon" }), "");
    EXPECT_EQ(CommandLine::RequestedLanguage(base), "");
    EXPECT_EQ(CommandLine::RequestedLanguage({ "parvelwebcam", "--", "--lang=en" }), "");
}

} // namespace
