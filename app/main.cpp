#include "app/AppInfo.h"
#include "app/CMainFrame.h"
#include "app/CommandLine.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(AppInfo::kOrganisation);
    QApplication::setApplicationName(AppInfo::kTitle);

    const CommandLine options = CommandLine::Parse(QApplication::arguments());
    if (!options.ok) {
        QMessageBox::critical(nullptr, QString::fromUtf8(AppInfo::kCaption), options.error);
        return 2;
    }
    const AppFolders folders = AppFolders::FromAppDir(QApplication::applicationDirPath().toStdString());
    const SettingsValues values;
    CMainFrame window(folders, values, MakeFrameSourceFactory(options.source));
    window.show();
    return app.exec();
}
