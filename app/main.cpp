#include "ui/AppInfo.h"
#include "app/CMainFrame.h"
#include "app/CommandLine.h"
#include "app/SettingsNotice.h"
#include "ui/MessageBoxes.h"
#include "ui/Translations.h"
#include "pipeline/CWebcamCtl.h"
#include "settings/SettingsWorkbook.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

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

    // --stats: the frame loop's figures once a second on standard error, while the camera runs.
    QTimer statsTimer;
    if (options.stats) {
        QObject::connect(&statsTimer, &QTimer::timeout, &window, [&window] {
            for (CWebcamCtl* control : window.findChildren<CWebcamCtl*>()) {
                if (!control->loop().running())
                    continue;
                const FrameStats::Report r = control->loop().stats().Take();
                std::fprintf(stderr, "pictures/s %.1f  latency median %.1f ms  p99 %.1f ms  worst %.1f ms\n",
                    r.perSecond, r.medianLatencyMs, r.p99LatencyMs, r.worstLatencyMs);
            }
        });
        statsTimer.start(1000);
    }
    return app.exec();
}
