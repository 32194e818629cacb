#include "QtTestApp.h"

#include "ui/Translations.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

namespace {

TEST(TranslationsTest, StandardButtonsSpeakChineseUnderAChineseLocale)
{
    EnsureQtApp();
    QTranslator* translator = InstallQtTranslations(InterfaceLocale());
    ASSERT_NE(translator, nullptr) << "Qt's Chinese translations are not installed";
    {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        EXPECT_EQ(box.button(QDialogButtonBox::Ok)->text(), QString("确定"));
        EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QString("取消"));
    }
    QCoreApplication::removeTranslator(translator);
    delete translator;
    QDialogButtonBox english(QDialogButtonBox::Ok);
    EXPECT_EQ(english.button(QDialogButtonBox::Ok)->text(), QString("OK"));
}

TEST(TranslationsTest, ALanguageWithoutTranslationsInstallsNothing)
{
    EnsureQtApp();
    EXPECT_EQ(InstallQtTranslations(QLocale(QLocale::Zulu)), nullptr);
}

} // namespace
