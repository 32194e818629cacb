#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/AppFolders.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CWelcomeMovie.h"
#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"
#include "app/commands/Rows.h"
#include "app/ribbon/RibbonBar.h"
#include "ui/AppInfo.h"
#include "ui/PathText.h"
#include "ui/Translations.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>

namespace {

// Every test leaves the interface in Chinese, as the other tests expect it.
class InterfaceLanguageTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }
    void TearDown() override { InstallTranslations(InterfaceLanguage::Chinese); }
};

TEST_F(InterfaceLanguageTest, EnglishReplacesTheChineseCaptionsAndChineseBringsThemBack)
{
    const CommandTable table = BuildCommandTable();
    const std::pair<CommandId, const char*> sample[] = {
        { ID_BUTTON_CAM_MANGER, "Start Camera" },
        { ID_BUTTON_SIZE_FIT, "Fit to Window" },
        { ID_BUTTON_H_FLIP, "Flip Left-Right" },
        { ID_BUTTON_FRAME_GIF, "Animated GIF" },
        { ID_APP_EXIT, "E&xit" },
    };
    std::vector<QString> chinese;
    for (const auto& [id, english] : sample)
        chinese.push_back(table.Caption(id));

    ASSERT_TRUE(InstallTranslations(InterfaceLanguage::English));
    EXPECT_EQ(CurrentInterfaceLanguage(), InterfaceLanguage::English);
    for (const auto& [id, english] : sample)
        EXPECT_EQ(table.Caption(id), QString(english)) << id;

    InstallTranslations(InterfaceLanguage::Chinese);
    for (std::size_t i = 0; i < std::size(sample); ++i)
        EXPECT_EQ(table.Caption(sample[i].first), chinese[i]);
    EXPECT_EQ(table.Caption(ID_BUTTON_CAM_MANGER), QString("开启摄像机"));
}

TEST_F(InterfaceLanguageTest, MainWindowGreetsInEnglish)
{
    ASSERT_TRUE(InstallTranslations(InterfaceLanguage::English));
    QTemporaryDir dir;
    auto state = std::make_shared<ScriptedSourceState>();
    CMainFrame window(AppFolders::FromAppDir(dir.path().toStdString()), SettingsValues {}, ScriptedFactory(state));
    EXPECT_TRUE(window.statusText().startsWith("(*^__^*) Hee hee... Welcome")) << window.statusText().toStdString();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8(AppInfo::kEnglishName));
}

TEST_F(InterfaceLanguageTest, LanguageFollowsRequestThenRememberedChoiceThenSystem)
{
    const QLocale c = QLocale::c();
    const QLocale taiwan(QLocale::Chinese, QLocale::Taiwan);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    // A bare system's C locale keeps the original Chinese texts; any Chinese locale does too.
    EXPECT_EQ(ChooseInterfaceLanguage("", "", c), InterfaceLanguage::Chinese);
    EXPECT_EQ(ChooseInterfaceLanguage("", "", taiwan), InterfaceLanguage::Chinese);
    EXPECT_EQ(ChooseInterfaceLanguage("", "", german), InterfaceLanguage::English);
    EXPECT_EQ(ChooseInterfaceLanguage("", "", american), InterfaceLanguage::English);
    EXPECT_EQ(ChooseInterfaceLanguage("", "zh_CN", german), InterfaceLanguage::Chinese);
    EXPECT_EQ(ChooseInterfaceLanguage("", "en", taiwan), InterfaceLanguage::English);
    EXPECT_EQ(ChooseInterfaceLanguage("zh_CN", "en", american), InterfaceLanguage::Chinese);
    EXPECT_EQ(ChooseInterfaceLanguage("en", "zh_CN", c), InterfaceLanguage::English);
    // A remembered value this version does not know is passed over.
    EXPECT_EQ(ChooseInterfaceLanguage("", "fr", german), InterfaceLanguage::English);
}

TEST_F(InterfaceLanguageTest, RememberedChoiceSurvivesInTheProfile)
{
    RememberLanguage(InterfaceLanguage::English);
    EXPECT_EQ(RememberedLanguage(), "en");
    RememberLanguage(InterfaceLanguage::Chinese);
    EXPECT_EQ(RememberedLanguage(), "zh_CN");
}

TEST_F(InterfaceLanguageTest, RibbonLanguageChoiceSwitchesTheWindowAtOnceAndIsRemembered)
{
    QTemporaryDir dir;
    auto state = std::make_shared<ScriptedSourceState>();
    CMainFrame window(AppFolders::FromAppDir(dir.path().toStdString()), SettingsValues {}, ScriptedFactory(state));
    const CommandTable& table = window.commands();
    window.ribbon()->SetCurrentCategory(4);
    EXPECT_TRUE(*table.Update(ID_LANGUAGE_CHINESE, window.commandContext()).pressed);

    ASSERT_TRUE(table.Run(ID_LANGUAGE_ENGLISH, window.commandContext()));
    EXPECT_EQ(RememberedLanguage(), "en");
    ASSERT_TRUE(WaitUntil([&] { return window.ribbon()->tabs()->tabText(0) == "Welcome"; }));
    EXPECT_EQ(window.ribbon()->currentCategory(), 4); // the user stays where the choice was made
    EXPECT_EQ(window.ribbon()->tabs()->tabText(1), "Effects && Fun"); // shown with its ampersand, not as a mnemonic
    EXPECT_EQ(window.ShownAction(ID_BUTTON_CAM_MANGER)->text(), "Start Camera");
    EXPECT_TRUE(window.ShownAction(ID_BUTTON_CAM_MANGER)->toolTip().contains("Switch the camera on or off"));
    EXPECT_TRUE(window.statusText().contains("English")) << window.statusText().toStdString();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8(AppInfo::kEnglishName));
    EXPECT_TRUE(window.child()->view()->movie()->text().startsWith("(*^__^*) Hee hee... Welcome to Parvel Webcam"));
    EXPECT_FALSE(*table.Update(ID_LANGUAGE_CHINESE, window.commandContext()).pressed);
    EXPECT_TRUE(*table.Update(ID_LANGUAGE_ENGLISH, window.commandContext()).pressed);

    ASSERT_TRUE(table.Run(ID_LANGUAGE_CHINESE, window.commandContext()));
    EXPECT_EQ(RememberedLanguage(), "zh_CN");
    ASSERT_TRUE(WaitUntil([&] { return window.ribbon()->tabs()->tabText(0) == "欢迎光临"; }));
    EXPECT_EQ(window.ShownAction(ID_BUTTON_CAM_MANGER)->text(), "开启摄像机");
    EXPECT_TRUE(window.statusText().contains("中文")) << window.statusText().toStdString();
    EXPECT_TRUE(window.child()->view()->movie()->text().contains("欢迎来到 Parvel 乐影屋"));
}

TEST_F(InterfaceLanguageTest, GuideOpensInTheInterfaceLanguageWhereThatEditionIsThere)
{
    QTemporaryDir dir;
    const AppFolders folders = AppFolders::FromAppDir(QStringToPath(dir.path()));
    const auto chinese = folders.systemDir / AppInfo::kGuideFile;
    const auto english = folders.systemDir / AppInfo::kGuideFileEnglish;
    EXPECT_EQ(GuidePath(folders, InterfaceLanguage::Chinese), chinese);
    // No English edition installed: the Chinese one is better than none.
    EXPECT_EQ(GuidePath(folders, InterfaceLanguage::English), chinese);
    ASSERT_TRUE(QDir().mkpath(PathToQString(folders.systemDir)));
    QFile file(PathToQString(english));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(GuidePath(folders, InterfaceLanguage::English), english);
    EXPECT_EQ(GuidePath(folders, InterfaceLanguage::Chinese), chinese);
}

} // namespace
