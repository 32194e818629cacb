#include "FakeControlDevice.h"
#include "QtTestApp.h"

#include "app/CAboutDlg.h"
#include "app/CCameraControlsDlg.h"
#include "app/CCameraDlg.h"
#include "app/CTimeSetDlg.h"
#include "app/CustomizeDialog.h"
#include "pipeline/capture/CameraList.h"
#include "ui/AppInfo.h"
#include "ui/MessageBoxes.h"
#include "ui/Translations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

// Every text of a shown dialog must show whole: a label's lines in its room, a button's caption
// within the button.
void ExpectEveryTextFits(QDialog& dialog, const std::string& name)
{
    dialog.show();
    QCoreApplication::processEvents();
    int checked = 0;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        ++checked;
        const QRect room = label->contentsRect();
        if (label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << name << ": " << label->text().toStdString();
            continue;
        }
        const QFontMetrics metrics(label->font());
        const QRect needed = metrics.boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, label->text());
        EXPECT_LE(needed.width(), room.width()) << name << ": \"" << label->text().toStdString() << "\"";
        EXPECT_LE(needed.height(), room.height()) << name << ": \"" << label->text().toStdString() << "\"";
    }
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty())
            continue;
        ++checked;
        EXPECT_LE(button->sizeHint().width(), button->width()) << name << ": \"" << button->text().toStdString() << "\"";
    }
    EXPECT_GT(checked, 1) << name;
    dialog.hide();
}

class DialogTextsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApp(); }
    void TearDown() override { InstallTranslations(InterfaceLanguage::Chinese); }
};

TEST_F(DialogTextsTest, EveryDialogShowsItsTextsWholeInBothLanguages)
{
    QTemporaryDir dir;
    const AppFolders folders = AppFolders::FromAppDir(dir.path().toStdString());
    SettingsValues values;
    QWidget hidden; // the customisation dialog's bars
    const CameraInfo camera { "usb-1", "/dev/video0", "HD Webcam C270", { { 640, 480 }, { 1280, 720 } } };
    const std::vector<std::pair<std::string, std::function<std::unique_ptr<QDialog>()>>> dialogs {
        { "about", [] { return std::make_unique<CAboutDlg>(); } },
        { "delay", [&] { return std::make_unique<CTimeSetDlg>(folders, values); } },
        { "camera", [&] { return std::make_unique<CCameraDlg>(std::vector { camera }, "usb-1", cv::Size(640, 480)); } },
        { "no camera", [] { return std::make_unique<CCameraDlg>(std::vector<CameraInfo> {}, "", cv::Size(640, 480)); } },
        { "camera settings", [&] { return std::make_unique<CCameraControlsDlg>(&camera, std::make_unique<FakeControlDevice>()); } },
        { "camera settings, no camera", [] { return std::make_unique<CCameraControlsDlg>(nullptr); } },
        { "bars", [&] {
             auto dialog = std::make_unique<CustomizeDialog>(std::vector<CustomizeDialog::Bar> {
                 { QObject::tr("功能区"), &hidden, true }, { QObject::tr("标题栏"), &hidden, true } });
             for (QCheckBox* box : dialog->boxes())
                 box->setChecked(false); // the refusal shows too
             return dialog;
         } },
    };
    for (const InterfaceLanguage language : { InterfaceLanguage::Chinese, InterfaceLanguage::English }) {
        ASSERT_TRUE(InstallTranslations(language));
        for (const auto& [name, make] : dialogs) {
            const std::unique_ptr<QDialog> dialog = make();
            ExpectEveryTextFits(*dialog, name + (language == InterfaceLanguage::English ? " (English)" : " (中文)"));
        }
    }
}

QString SourceFile(const char* path)
{
    QFile file(QStringLiteral(PARVEL_TEST_DATA_DIR "/../../") + QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

// The program has one English name: in its boxes, its about dialog, its desktop entry, its
// metainfo and its guide.
TEST_F(DialogTextsTest, TheProgramHasOneEnglishNameEverywhere)
{
    const QString name = QString::fromUtf8(AppInfo::kEnglishName);
    ASSERT_TRUE(InstallTranslations(InterfaceLanguage::English));
    EXPECT_EQ(MessageBoxes::DefaultCaption(), name);
    EXPECT_EQ(MessageBoxes::TitleCaption(), name);
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About " + name);
    EXPECT_TRUE(about.versionText()->text().startsWith(name)) << about.versionText()->text().toStdString();

    EXPECT_TRUE(SourceFile("resources/desktop/io.github.tolvek.ParvelWebcam.desktop").contains("\nName=" + name + "\n"));
    EXPECT_TRUE(SourceFile("resources/desktop/io.github.tolvek.ParvelWebcam.metainfo.xml")
                    .contains("<name>" + name + "</name>"));
    EXPECT_TRUE(SourceFile("docs/guide/guide.en.html").contains("<h1 style=\"color:#1f4e8c\">" + name + " User Guide</h1>"));
    // No other English name in the translation.
    const QString translation = SourceFile("translations/parvelwebcam_en.ts");
    static const QRegularExpression otherName(QStringLiteral("Parvel(?! Webcam)[^<]*</translation>"));
    EXPECT_FALSE(translation.contains(otherName)) << translation.mid(translation.indexOf(otherName), 80).toStdString();
}

} // namespace
