// assetgen <bin-dir>: draws the images the program ships with into the ready-to-run folder
// (system/ and the sample folders under UserData/), and its sounds into system/. The same
// program always writes the same bytes, so the build output is reproducible.

#include "tools/assetgen/Assets.h"
#include "tools/assetgen/GifWriter.h"
#include "ui/Sounds.h"

#include <QDir>
#include <QSaveFile>
#include <QString>

#include <cstdio>

namespace {

bool fail(const QString& path, const QString& why)
{
    std::fprintf(stderr, "assetgen: %s: %s\n", qUtf8Printable(path), qUtf8Printable(why));
    return false;
}

bool writePng(const QString& path, const QImage& image)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(path, file.errorString());
    if (!image.convertToFormat(QImage::Format_ARGB32).save(&file, "PNG"))
        return fail(path, QStringLiteral("PNG encoding failed"));
    if (!file.commit())
        return fail(path, file.errorString());
    return true;
}

bool writeGif(const QString& path, const Animation& animation)
{
    QString error;
    const QByteArray bytes = encodeGif(animation, &error);
    if (bytes.isEmpty())
        return fail(path, error);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(path, file.errorString());
    return true;
}

bool writeWav(const QString& path, const Clip& clip)
{
    const QByteArray bytes = encodeWav(clip);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(path, file.errorString());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen <folder of the program>\n");
        return 2;
    }
    const QDir bin(QString::fromLocal8Bit(argv[1]));
    const QString system = bin.filePath(QStringLiteral("system"));
    const QString frames = bin.filePath(QStringLiteral("UserData/大相框"));
    const QString addOns = bin.filePath(QStringLiteral("UserData/小挂件"));
    const QString backdrops = bin.filePath(QStringLiteral("system/背景"));
    for (const QString& dir : {system, frames, addOns, backdrops}) {
        if (!QDir().mkpath(dir)) {
            fail(dir, QStringLiteral("cannot create the folder"));
            return 1;
        }
    }
    auto in = [](const QString& dir, const char* name) { return dir + QLatin1Char('/') + QLatin1String(name); };

    bool ok = true;
    ok = writeGif(in(system, "welcome.gif"), welcomeAnimation()) && ok;
    ok = writePng(in(system, "loogo.png"), logoImage()) && ok;
    ok = writeWav(in(system, SoundFileName(Sound::Shutter)), shutterSound()) && ok;
    ok = writeWav(in(system, SoundFileName(Sound::Tick)), tickSound()) && ok;

    ok = writePng(in(frames, "wood.png"), woodFrame()) && ok;
    ok = writePng(in(frames, "film.png"), filmFrame()) && ok;
    ok = writePng(in(frames, "hearts.png"), heartsFrame()) && ok;
    ok = writeGif(in(frames, "stars.gif"), starsFrame()) && ok;
    ok = writeGif(in(frames, "bubbles.gif"), bubblesFrame()) && ok;

    ok = writePng(in(addOns, "star.png"), starAddOn()) && ok;
    ok = writePng(in(addOns, "heart.png"), heartAddOn()) && ok;
    ok = writePng(in(addOns, "sunglasses.png"), sunglassesAddOn()) && ok;
    ok = writePng(in(addOns, "crown.png"), crownAddOn()) && ok;
    ok = writePng(in(addOns, "speech.png"), speechAddOn()) && ok;
    ok = writeGif(in(addOns, "spinstar.gif"), spinningStarAddOn()) && ok;
    ok = writeGif(in(addOns, "heartbeat.gif"), heartbeatAddOn()) && ok;
    ok = writeGif(in(addOns, "eyes.gif"), eyesAddOn()) && ok;

    ok = writePng(in(backdrops, "beach.png"), beachBackdrop()) && ok;
    ok = writeGif(in(backdrops, "stars.gif"), starsBackdrop()) && ok;
    ok = writePng(in(backdrops, "underwater.png"), underwaterBackdrop()) && ok;
    ok = writePng(in(backdrops, "party.png"), partyBackdrop()) && ok;
    ok = writePng(in(backdrops, "city.png"), cityBackdrop()) && ok;
    ok = writePng(in(backdrops, "papercut.png"), paperCutBackdrop()) && ok;
    return ok ? 0 : 1;
}
