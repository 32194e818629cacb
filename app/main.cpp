#include "ui/AppInfo.h"
#include "app/AppFolders.h"
#include "app/CMainFrame.h"
#include "app/CameraChoice.h"
#include "app/CommandLine.h"
#include "app/EffectSounds.h"
#include "app/FolderLayout.h"
#include "app/SettingsNotice.h"
#include "app/ShutdownSignals.h"
#include "ui/MessageBoxes.h"
#include "ui/Translations.h"
#include "settings/SettingsWorkbook.h"

#include "pipeline/CWebcamCtl.h"
#include "pipeline/record/LeftoverRecordings.h"
#include "ui/PathText.h"

#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

void SetNames()
{
    QCoreApplication::setOrganizationName(AppInfo::kOrganisation);
    QCoreApplication::setApplicationName(AppInfo::kTitle);
    QCoreApplication::setApplicationVersion(QStringLiteral(PARVEL_VERSION));
}

InterfaceLanguage LanguageFor(const QStringList& arguments)
{
    return ChooseInterfaceLanguage(CommandLine::RequestedLanguage(arguments), RememberedLanguage(), QLocale::system());
}

// A recording the last run could not finish (it was killed): kept when it plays, told once.
QString RecoverRecordings(const AppFolders& folders)
{
    const LeftoverRecordings found = RecoverLeftoverRecordings(PathToQString(folders.photoDir));
    QStringList parts;
    if (!found.recovered.isEmpty()) {
        QStringList paths;
        for (const QString& path : found.recovered)
            paths << QDir::toNativeSeparators(path);
        parts << QObject::tr("找回了上次没有保存完的录像：%1").arg(paths.join(QObject::tr("、")));
    }
    if (found.removed > 0)
        parts << QObject::tr("上次没有录完的录像无法播放，已删除（%1 段）").arg(found.removed);
    return parts.join(QObject::tr("；"));
}

} // namespace

int main(int argc, char* argv[])
{
    // The command line is read before any window system is reached, so that --help, --version
    // and mistakes answer on the terminal even where no display is available.
    CommandLine options;
    {
        QCoreApplication terminal(argc, argv);
        SetNames();
        const QStringList arguments = QCoreApplication::arguments();
        InstallTranslations(LanguageFor(arguments));
        options = CommandLine::Parse(arguments);
        if (!options.ok) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(options.error));
            return kBadCommandLineStatus;
        }
        if (options.action == CommandLine::Action::PrintAndExit) {
            std::fputs(qUtf8Printable(options.output), stdout);
            return 0;
        }
    }

    QApplication app(argc, argv);
    SetNames();
    QGuiApplication::setDesktopFileName(QString::fromUtf8(AppInfo::kDesktopId));
    // Our own texts and the standard buttons ("OK", "Cancel") in the interface's language.
    InstallTranslations(LanguageFor(QApplication::arguments()));

    AppFolders folders = MakeAppFolders(ProcessFolderInputs());
    SettingsValues values;
    // A failed copy shows as the workbook that cannot be loaded.
    (void)PrepareSettingsWorkbook(folders);
    if (!LoadSettings(folders, values)) {
        // The defaults stay in force; the program goes on without the workbook.
        Messages().Exclamation(nullptr, QObject::tr("加载配置文件失败！"), MessageBoxes::TitleCaption());
    }
    // Values no camera can deliver are replaced for this run only; the workbook keeps them.
    QStringList notices { SettingsNotice(BoundSettingsValues(values)), RecoverRecordings(folders) };
    notices.removeAll(QString());
    const QString notice = notices.join(QObject::tr("；"));
    // A source named on the command line wins; otherwise the camera chosen in the ribbon, if any.
    // Each start asks the camera for the picture's size; the first-run measurement, which asks
    // for none, gets the camera's own best size.
    FrameSourceFactory sources = options.sourceGiven
        ? WithRememberedControls(MakeFrameSourceFactory(options.source), MakeSystemCameraList(), options.source)
        : MakeChosenCameraFactory(MakeSystemCameraList(), cv::Size());
    // The shutter and the countdown's ticks, from the system folder's WAV files.
    EffectSounds sounds(PathToQString(folders.systemDir));
    ScopedSounds soundsInForce(sounds);
    CMainFrame window(folders, values, std::move(sources));
    if (!notice.isEmpty())
        window.SetStatusText(notice);
    window.showMaximized();

    // Ended from outside (log-out, shutdown, kill, Ctrl+C) or by the session manager: the
    // recording and the GIF are finished first, with no box to answer.
    ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &ShutdownSignals::shutdownRequested, &window, [&window] {
        window.CloseForShutdown();
        QCoreApplication::quit(); // also when a dialog of the window is open
    });
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
        [&window](QSessionManager&) { window.StopForShutdown(); });
#endif
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.StopForShutdown(); });

    // --stats: the frame loop's figures once a second on standard error, while the camera runs.
    QTimer statsTimer;
    if (options.stats) {
        // While stickers follow faces, also the detection runs and the faces they found.
        QObject::connect(&statsTimer, &QTimer::timeout, &window, [&window, runs = std::uint64_t(0),
                                                               found = std::uint64_t(0)]() mutable {
            for (CWebcamCtl* control : window.findChildren<CWebcamCtl*>()) {
                if (!control->session().running())
                    continue;
                const FrameStats::Report r = control->session().loop().stats().Take();
                std::fprintf(stderr, "pictures/s %.1f  latency median %.1f ms  p99 %.1f ms  worst %.1f ms",
                    r.perSecond, r.medianLatencyMs, r.p99LatencyMs, r.worstLatencyMs);
                const FaceTracker& faces = control->model().faces;
                if (control->model().faceStickers())
                    std::fprintf(stderr, "  face runs/s %llu  faces found/s %llu",
                        static_cast<unsigned long long>(faces.runs() - runs),
                        static_cast<unsigned long long>(faces.facesFound() - found));
                std::fputc('\n', stderr);
                // The second line: where the time goes, so a slow machine can be diagnosed.
                std::fputs("stages median ms:", stderr);
                for (int stage = 0; stage < kStageCount; ++stage)
                    std::fprintf(stderr, "  %s %.1f", kStageNames[stage], r.stageMedianMs[stage]);
                std::fprintf(stderr, "  | worker %.1f ms, %.0f %% of a 30/s frame free\n", r.workerMedianMs,
                    100.0 * (1.0 - r.workerMedianMs / (1000.0 / 30.0)));
                runs = faces.runs();
                found = faces.facesFound();
            }
        });
        statsTimer.start(1000);
    }
    return app.exec();
}
