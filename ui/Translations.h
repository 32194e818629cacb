#pragma once

#include <QLocale>
#include <QString>

class QTranslator;

// Loads Qt's own translations (the texts of standard buttons and dialogs) for the locale into
// the running application. Returns the installed translator (owned by the application), or null
// when no translation for that language is installed.
QTranslator* InstallQtTranslations(const QLocale& locale);

// The languages the interface speaks. Its source texts are Chinese; English is a translation.
enum class InterfaceLanguage { Chinese, English };

// Chinese for Chinese locales and for a bare system's C/POSIX locale, English for any other
// language. An explicit request ("zh_CN" or "en", from the command line) wins over a remembered
// choice (the help category), which wins over the system.
InterfaceLanguage ChooseInterfaceLanguage(const QString& requested, const QString& remembered,
                                          const QLocale& system);
// "zh_CN" or "en", the form requests and remembered choices take.
QString LanguageCode(InterfaceLanguage language);

// Installs the program's own translation and Qt's for the language, replacing those of an
// earlier call; returns whether every translation the language needs was found.
bool InstallTranslations(InterfaceLanguage language);

// The language the interface speaks (Chinese until InstallTranslations chose another):
// standard buttons must speak it too.
InterfaceLanguage CurrentInterfaceLanguage();
QLocale InterfaceLocale();

// The user's choice, kept in the program's settings profile; empty when never made.
QString RememberedLanguage();
void RememberLanguage(InterfaceLanguage language);
