// The shipped images and sounds in the ready-to-run folder: the welcome animation, logo and
// sounds in system/, the sample frames and add-ons under UserData/. The build draws them with
// tools/assetgen.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

const QDir kBin(QString::fromUtf8(PARVEL_BIN_DIR));

struct Decoded {
    std::vector<QImage> frames;
    std::vector<int> delays; // milliseconds, as the player will wait
    int loopCount = 0;
};

Decoded decode(const QString& path)
{
    QImageReader reader(path);
    Decoded d;
    d.loopCount = reader.loopCount();
    QImage frame;
    while (reader.read(&frame)) {
        d.frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
        d.delays.push_back(reader.nextImageDelay());
    }
    return d;
}

bool transparentAt(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) == 0; }

// Share of pixels that are fully opaque and fully transparent.
std::pair<double, double> coverage(const QImage& image)
{
    long opaque = 0, clear = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            opaque += a == 255;
            clear += a == 0;
        }
    }
    const double n = double(image.width()) * image.height();
    return {opaque / n, clear / n};
}

QStringList filesIn(const QString& folder, const QString& pattern)
{
    const QDir dir(kBin.filePath(folder));
    QStringList paths;
    for (const QString& name : dir.entryList({pattern}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// Every still and animated image of a folder, at least the given numbers of each; animated ones
// have several frames and loop for ever. checkFrame sees every frame of every file.
template <class Check>
void CheckEveryFrame(const QString& folder, int leastStills, int leastAnimated, Check checkFrame)
{
    const QStringList stills = filesIn(folder, "*.png");
    const QStringList animated = filesIn(folder, "*.gif");
    EXPECT_GE(stills.size(), leastStills);
    EXPECT_GE(animated.size(), leastAnimated);
    for (const QString& path : stills + animated) {
        SCOPED_TRACE(path.toStdString());
        const Decoded d = decode(path);
        ASSERT_FALSE(d.frames.empty());
        if (path.endsWith(".gif")) {
            EXPECT_GT(d.frames.size(), 1u);
            EXPECT_EQ(d.loopCount, -1);
        }
        for (const QImage& frame : d.frames)
            checkFrame(frame);
    }
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ShippedAssets, WelcomeAnimationLoopsForEverAtVaryingStoredDelays)
{
    const Decoded welcome = decode(kBin.filePath("system/welcome.gif"));
    ASSERT_GT(welcome.frames.size(), 1u);
    EXPECT_EQ(welcome.loopCount, -1) << "NETSCAPE2.0 loop count 0 means for ever";
    std::set<int> distinct;
    for (std::size_t i = 0; i < welcome.frames.size(); ++i) {
        EXPECT_EQ(welcome.frames[i].size(), QSize(640, 480)) << "frame " << i;
        // 10 ms to 5 s are used as stored; anything else would fall back to 80 ms.
        EXPECT_GE(welcome.delays[i], 10) << "frame " << i;
        EXPECT_LE(welcome.delays[i], 5000) << "frame " << i;
        distinct.insert(welcome.delays[i]);
        if (i > 0) {
            EXPECT_NE(welcome.frames[i], welcome.frames[i - 1]) << "frame " << i << " shows nothing new";
        }
    }
    EXPECT_GE(distinct.size(), 2u);
    // Painted over the window colour, so it must cover its whole area.
    EXPECT_DOUBLE_EQ(coverage(welcome.frames.back()).first, 1.0);
}

TEST(ShippedAssets, LogoIsSmallWithTransparentCorners)
{
    const QImage logo = QImage(kBin.filePath("system/loogo.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(logo.isNull());
    EXPECT_LE(logo.width(), 160);
    EXPECT_LE(logo.height(), 64);
    const int r = logo.width() - 1, b = logo.height() - 1;
    EXPECT_TRUE(transparentAt(logo, 0, 0) && transparentAt(logo, r, 0) && transparentAt(logo, 0, b)
                && transparentAt(logo, r, b));
    const auto [opaque, clear] = coverage(logo);
    EXPECT_GT(opaque, 0.1) << "the mark itself must be solid";
    EXPECT_LT(clear, 0.3) << "the plate behind it must be visible";
}

// A WAVE file as the sound effects read it: PCM, one channel, 16 bits.
struct Wave {
    bool pcmMono16 = false;
    int rate = 0;
    std::vector<int> samples;
};

Wave readWave(const QByteArray& bytes)
{
    auto u16 = [&](qsizetype at) {
        return static_cast<int>(static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8);
    };
    auto u32 = [&](qsizetype at) { return static_cast<qsizetype>(u16(at)) | static_cast<qsizetype>(u16(at + 2)) << 16; };
    Wave w;
    if (bytes.size() < 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 8) != "WAVEfmt "
        || u32(4) != bytes.size() - 8 || bytes.mid(36, 4) != "data" || u32(40) != bytes.size() - 44)
        return w;
    w.pcmMono16 = u16(20) == 1 && u16(22) == 1 && u16(34) == 16;
    w.rate = static_cast<int>(u32(24));
    for (qsizetype at = 44; at + 1 < bytes.size(); at += 2)
        w.samples.push_back(static_cast<std::int16_t>(u16(at)));
    return w;
}

int peakOf(const Wave& w)
{
    int peak = 0;
    for (const int s : w.samples)
        peak = std::max(peak, std::abs(s));
    return peak;
}

TEST(ShippedAssets, SoundsAreShortQuietWaveFilesThatEndInSilence)
{
    struct Expected {
        const char* name;
        int leastMs, mostMs;
    };
    for (const Expected& e : {Expected{"system/shutter.wav", 80, 400}, Expected{"system/tick.wav", 20, 150}}) {
        SCOPED_TRACE(e.name);
        const QByteArray bytes = contents(kBin.filePath(e.name));
        EXPECT_LT(bytes.size(), 64 * 1024);
        const Wave w = readWave(bytes);
        ASSERT_TRUE(w.pcmMono16) << "not a PCM mono 16-bit WAVE file with its sizes right";
        ASSERT_GE(w.rate, 22050);
        const long ms = static_cast<long>(w.samples.size()) * 1000 / w.rate;
        EXPECT_GE(ms, e.leastMs);
        EXPECT_LE(ms, e.mostMs);
        const int peak = peakOf(w);
        EXPECT_GT(peak, 32767 / 5) << "loud enough to be heard";
        EXPECT_LT(peak, 32767 * 9 / 10) << "never clipped";
        EXPECT_LT(std::abs(w.samples.back()), 64) << "ends in silence, without a click of its own";
    }
    // The tick is the quieter of the two.
    EXPECT_LT(peakOf(readWave(contents(kBin.filePath("system/tick.wav")))),
        peakOf(readWave(contents(kBin.filePath("system/shutter.wav")))));
}

TEST(ShippedAssets, SampleFramesCoverThePictureAndLeaveTheMiddleOpen)
{
    // Every frame: an earlier frame must never show through the cleared middle.
    CheckEveryFrame("UserData/大相框", 3, 2, [](const QImage& frame) {
        ASSERT_EQ(frame.size(), QSize(640, 480));
        EXPECT_TRUE(transparentAt(frame, 320, 240));
        EXPECT_TRUE(transparentAt(frame, 160, 120) && transparentAt(frame, 480, 360));
        const auto [opaque, clear] = coverage(frame);
        EXPECT_GT(opaque, 0.05) << "a frame needs a visible border";
        EXPECT_GT(clear, 0.6) << "most of the picture must stay visible";
    });
}

TEST(ShippedAssets, AddOnsAreSmallStickersOnTransparentGround)
{
    CheckEveryFrame("UserData/小挂件", 4, 3, [](const QImage& frame) {
        EXPECT_LT(frame.width(), 640);
        EXPECT_LT(frame.height(), 480);
        EXPECT_TRUE(transparentAt(frame, 0, 0));
        const auto [opaque, clear] = coverage(frame);
        EXPECT_GT(opaque, 0.15);
        EXPECT_GT(clear, 0.1);
    });
}

TEST(ShippedAssets, GeneratorWritesTheSameBytesEveryRun)
{
    // The generator sits in the build tree beside bin/ (tools/assetgen).
    const QString generator = QStandardPaths::findExecutable(
        "assetgen", {QDir::cleanPath(kBin.filePath("../tools/assetgen"))});
    ASSERT_FALSE(generator.isEmpty()) << "assetgen not built";
    QTemporaryDir first, second;
    for (const QTemporaryDir* dir : {&first, &second}) {
        ASSERT_TRUE(dir->isValid());
        QProcess run;
        run.start(generator, {dir->path()});
        ASSERT_TRUE(run.waitForFinished(60000));
        ASSERT_EQ(run.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    }
    int compared = 0;
    for (const char* folderName : {"system", "UserData/大相框", "UserData/小挂件"}) {
        const QString folder = QString::fromUtf8(folderName);
        const QDir a(QDir(first.path()).filePath(folder));
        for (const QString& name : a.entryList(QDir::Files)) {
            SCOPED_TRACE((folder + "/" + name).toStdString());
            const QByteArray bytes = contents(a.filePath(name));
            EXPECT_FALSE(bytes.isEmpty());
            EXPECT_EQ(bytes, contents(QDir(second.path()).filePath(folder + "/" + name)));
            // And the build's copy is the current drawing, not a stale one.
            EXPECT_EQ(bytes, contents(kBin.filePath(folder + "/" + name)));
            ++compared;
        }
    }
    EXPECT_GE(compared, 17);
}

} // namespace
