// guideshots SCENE_DIR OUT_DIR zh|en
// Runs the main window offscreen on the moving test scene, with the decorations of SCENE_DIR (a
// folder holding system/ and UserData/, as assetgen lays them out), and writes the user guide's
// screenshots into OUT_DIR as PNG files: the whole window, each ribbon category, the side pane,
// the photo strip, a decorated picture and the delay dialog. Nothing of the user's is touched:
// the settings profile and the photos live in a temporary folder for the run.
#include "app/CChildFrame.h"
#include "app/AppFolders.h"
#include "app/CMainFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CTimeSetDlg.h"
#include "app/commands/CommandContext.h"
#include "app/ribbon/RibbonBar.h"
#include "app/ribbon/RibbonPanel.h"
#include "decorations/CFrameView.h"
#include "decorations/DecorationKind.h"
#include "decorations/Photostrip.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/compose/DisplayConversion.h"
#include "pipeline/record/PhotoCapture.h"
#include "pipeline/capture/TestSceneSource.h"
#include "ui/AppInfo.h"
#include "ui/PathText.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <ctime>
#include <filesystem>

namespace {

// Lets timers, strip fills and the frame loop's pictures arrive.
void Settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

bool Save(QWidget& widget, const QDir& out, const QString& name, QRect area = {})
{
    const QString path = out.filePath(name + QStringLiteral(".png"));
    if (widget.grab(area.isValid() ? area : QRect(QPoint(0, 0), QSize(-1, -1))).save(path))
        return true;
    QTextStream(stderr) << "guideshots: cannot write " << path << "\n";
    return false;
}

// A few photos of the test scene, named as the program names them, so that the photo strip has
// something to show.
bool WritePhotos(const QString& folder)
{
    const std::time_t now = std::time(nullptr);
    for (int i = 0; i < 4; ++i) {
        QImage picture;
        FillPictureFromFrame(TestSceneSource::Render(40 + 45 * i), picture);
        if (SavePhoto(picture, folder, now - 3600 + 60 * i).path.isEmpty())
            return false;
    }
    return true;
}

// The first file of a folder with the given extension, to dress the picture for its screenshot.
QString FirstFile(const std::filesystem::path& folder, const QString& suffix)
{
    const QStringList files = QDir(PathToQString(folder)).entryList({ QStringLiteral("*.") + suffix }, QDir::Files, QDir::Name);
    return files.isEmpty() ? QString() : QDir(PathToQString(folder)).filePath(files.front());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || (args[3] != QLatin1String("zh") && args[3] != QLatin1String("en"))) {
        QTextStream(stderr) << "usage: guideshots SCENE_DIR OUT_DIR zh|en\n";
        return 2;
    }
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        QTextStream(stderr) << "guideshots: no temporary folder\n";
        return 1;
    }
    // The window stores its look in the settings profile: keep that away from the user's own.
    QCoreApplication::setOrganizationName(QString::fromUtf8(AppInfo::kOrganisation));
    QCoreApplication::setApplicationName(QStringLiteral("ParvelWebcamGuideShots"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath(QStringLiteral("profile")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.filePath(QStringLiteral("profile")));
    InstallTranslations(args[3] == QLatin1String("en") ? InterfaceLanguage::English : InterfaceLanguage::Chinese);

    const QDir out(args[2]);
    if (!QDir().mkpath(out.path())) {
        QTextStream(stderr) << "guideshots: cannot make " << out.path() << "\n";
        return 1;
    }
    AppFolders folders = AppFolders::FromAppDir(QStringToPath(args[1]));
    folders.photoDir = QStringToPath(scratch.filePath(QStringLiteral("Photo")));
    QDir().mkpath(PathToQString(folders.photoDir));
    if (!WritePhotos(PathToQString(folders.photoDir))) {
        QTextStream(stderr) << "guideshots: cannot write the sample photos\n";
        return 1;
    }
    SettingsValues values;
    values.cameraDetected = 1; // no first-run measurement, no box

    CMainFrame window(folders, values, MakeFrameSourceFactory("test"));
    window.resize(1280, 820);
    window.show();
    Settle(800);

    bool ok = true;
    CommandContext& context = window.commandContext();
    window.commands().Run(ID_BUTTON_CAM_MANGER, context);
    Settle(1500);
    ok &= Save(window, out, QStringLiteral("window"));

    RibbonBar* ribbon = window.ribbon();
    for (int i = 0; i < ribbon->categoryCount(); ++i) {
        ribbon->SetCurrentCategory(i);
        Settle(150);
        // Up to the category's last panel: the empty rest of the bar would only shrink the picture.
        int right = 0;
        for (const RibbonPanel* panel : ribbon->panels(i))
            if (panel->isVisible())
                right = std::max(right, panel->mapTo(ribbon, QPoint(panel->width(), 0)).x());
        const int width = std::clamp(right + 12, 480, ribbon->width());
        ok &= Save(*ribbon, out, QStringLiteral("ribbon-%1").arg(i + 1), QRect(0, 0, width, ribbon->height()));
    }
    ribbon->SetCurrentCategory(0);

    CChildFrame* child = window.child();
    ok &= Save(*child->pane(), out, QStringLiteral("pane"));
    ok &= Save(*child->pane()->photoStrip(), out, QStringLiteral("photos"));

    // The picture dressed up: a frame, an add-on and the sketch style.
    const QString frame = FirstFile(folders.frameDir, QStringLiteral("png"));
    const QString addOn = FirstFile(folders.addOnDir, QStringLiteral("png"));
    // As the side pane's picks do: through their rows.
    const auto pick = [&](CommandId id, const QString& path) {
        CommandInput input;
        input.path = path;
        input.kind = int(DecorationKind::Png);
        window.commands().Run(id, context, input);
    };
    if (!frame.isEmpty())
        pick(ID_PICK_FRAME, frame);
    if (!addOn.isEmpty())
        pick(ID_PICK_ADD_ON, addOn);
    window.commands().Run(ID_BUTTON_SKETCH, context);
    Settle(800);
    ok &= Save(*child->view()->webcam(), out, QStringLiteral("picture"));
    window.commands().Run(ID_BUTTON_SKETCH, context);

    CTimeSetDlg delay(folders, values, &window);
    delay.show();
    Settle(300);
    ok &= Save(delay, out, QStringLiteral("delay"));
    delay.hide();

    window.commands().Run(ID_BUTTON_CAM_MANGER, context);
    Settle(200);
    return ok ? 0 : 1;
}
