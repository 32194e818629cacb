#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QSettings>
#include <QTranslator>

namespace {

InterfaceLanguage current = InterfaceLanguage::Chinese;
QPointer<QTranslator> ownTranslator;
QPointer<QTranslator> qtTranslator;

const char* const kLanguageKey = "Language";

void Remove(QPointer<QTranslator>& translator)
{
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator.data();
    }
    translator = nullptr;
}

} // namespace

QTranslator* InstallQtTranslations(const QLocale& locale)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

InterfaceLanguage ChooseInterfaceLanguage(const QString& requested, const QString& remembered,
                                          const QLocale& system)
{
    for (const QString& choice : { requested, remembered }) {
        if (choice == LanguageCode(InterfaceLanguage::English))
            return InterfaceLanguage::English;
        if (choice == LanguageCode(InterfaceLanguage::Chinese))
            return InterfaceLanguage::Chinese;
    }
    if (system.language() == QLocale::C || system.language() == QLocale::Chinese)
        return InterfaceLanguage::Chinese;
    return InterfaceLanguage::English;
}

QString LanguageCode(InterfaceLanguage language)
{
    return language == InterfaceLanguage::English ? QStringLiteral("en") : QStringLiteral("zh_CN");
}

bool InstallTranslations(InterfaceLanguage language)
{
    Remove(ownTranslator);
    Remove(qtTranslator);
    current = language;
    bool complete = true;
    if (language == InterfaceLanguage::English) {
        // Built into the program, so that it speaks English wherever it is run from.
        auto* own = new QTranslator(QCoreApplication::instance());
        if (own->load(QStringLiteral(":/translations/parvelwebcam_en.qm"))) {
            QCoreApplication::installTranslator(own);
            ownTranslator = own;
        } else {
            delete own;
            complete = false;
        }
        return complete; // Qt's own texts are English already
    }
    qtTranslator = InstallQtTranslations(InterfaceLocale());
    return qtTranslator != nullptr;
}

InterfaceLanguage CurrentInterfaceLanguage()
{
    return current;
}

QLocale InterfaceLocale()
{
    return current == InterfaceLanguage::English ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                 : QLocale(QLocale::Chinese, QLocale::China);
}

QString RememberedLanguage()
{
    return QSettings().value(kLanguageKey).toString();
}

void RememberLanguage(InterfaceLanguage language)
{
    QSettings().setValue(kLanguageKey, LanguageCode(language));
}
