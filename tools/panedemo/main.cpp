// panedemo FRAMES_DIR ADDONS_DIR PHOTOS_DIR [WIDTH HEIGHT]
// Shows the side pane on these folders; picks are printed. Drag with the mouse or a finger.
#include "decorations/CFrameView.h"
#include "decorations/FolderScan.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        QTextStream(stderr) << "usage: panedemo FRAMES_DIR ADDONS_DIR PHOTOS_DIR [WIDTH HEIGHT]\n";
        return 2;
    }
    PaneFolders folders{QStringToPath(args[1]), QStringToPath(args[2]), QStringToPath(args[3])};
    CFrameView pane(folders);
    QObject::connect(&pane, &CFrameView::framePicked, [](const QString& path, int kind) {
        QTextStream(stdout) << "frame picked: " << path << " kind " << kind << Qt::endl;
    });
    QObject::connect(&pane, &CFrameView::addOnPicked, [](const QString& path, int kind) {
        QTextStream(stdout) << "add-on picked: " << path << " kind " << kind << Qt::endl;
    });
    const int width = args.size() > 5 ? args[4].toInt() : 400;
    const int height = args.size() > 5 ? args[5].toInt() : 700;
    pane.setWindowTitle(QStringLiteral("panedemo"));
    pane.move(0, 0);
    pane.resize(width, height);
    pane.show();
    return app.exec();
}
