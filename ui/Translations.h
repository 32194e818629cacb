#pragma once

#include <QLocale>

class QTranslator;

// Loads Qt's own translations (the texts of standard buttons and dialogs) for the locale into
// the running application. Returns the installed translator (owned by the application), or null
// when no translation for that language is installed.
QTranslator* InstallQtTranslations(const QLocale& locale);

// The language the interface speaks: standard buttons must speak it too.
QLocale InterfaceLocale();
