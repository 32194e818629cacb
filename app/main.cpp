#include "ui/AppInfo.h"
#include "app/CMainFrame.h"
#include "app/CommandLine.h"
#include "app/SettingsNotice.h"
#include "ui/MessageBoxes.h"
#include "ui/Translations.h"
#include "settings/SettingsWorkbook.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(AppInfo::kOrganisation);
    QApplication::setApplicationName(AppInfo::kTitle);
    // Standard buttons ("OK", "Cancel") in the interface's language; English ones if missing.
    InstallQtTranslations(InterfaceLocale());

    const CommandLine options = CommandLine::Parse(QApplication::arguments());
    if (!options.ok) {
        QMessageBox::critical(nullptr, QString::fromUtf8(AppInfo::kCaption), options.error);
        return 2;
    }
    AppFolders folders = AppFolders::FromAppDir(QApplication::applicationDirPath().toStdString());
    SettingsValues values;
    if (!LoadSettings(folders, values)) {
        // The defaults stay in force; the program goes on without the workbook.
        Messages().Exclamation(nullptr, QObject::tr("加载配置文件失败！"), QString::fromUtf8(AppInfo::kTitle));
    }
    // Values no camera can deliver are replaced for this run only; the workbook keeps them.
    const QString notice = SettingsNotice(BoundSettingsValues(values));
    CMainFrame window(folders, values, MakeFrameSourceFactory(options.source));
    if (!notice.isEmpty())
        window.SetStatusText(notice);
    window.showMaximized();
    return app.exec();
}
