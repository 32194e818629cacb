// Damaged, huge and strangely named files in the strips' folders.
#include "decorations/AddOnCollection.h"
#include "ui/FileNameBytes.h"
#include "decorations/FillStrip.h"
#include "decorations/FolderScan.h"
#include "decorations/ImageFileReader.h"
#include "decorations/Photostrip.h"
#include "decorations/PhotoThumbnail.h"
#include "strip_test_support.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

class StripHostileFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureStripTestApp();
        ASSERT_TRUE(dir.isValid());
    }
    QString File(const QString& name) const { return dir.filePath(name); }
    std::filesystem::path Folder() const { return QStringToPath(dir.path()); }
    // 800 × 200: thumbnails 150 high, at most 800 wide.
    std::unique_ptr<Photostrip> Strip(StripContent content, int32_t kind)
    {
        return std::make_unique<Photostrip>(nullptr, 800, 200, 0, StripPlacement::Top, content, kind);
    }
    // Writes bytes under a name given as bytes (which need not be UTF-8).
    void WriteRaw(const QByteArray& name, const QByteArray& data) const
    {
        std::ofstream out(QFile::encodeName(dir.path()).toStdString() + '/' + name.toStdString(),
                          std::ios::binary);
        out.write(data.constData(), data.size());
        ASSERT_TRUE(out.good());
    }
    static QByteArray Encoded(const QImage& image, const char* format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, format));
        return bytes;
    }

    QTemporaryDir dir;
};

// A JPEG whose EXIF says the stored picture is shown turned a quarter clockwise (orientation 6,
// as a phone held upright writes it). Stored: left half red, right half blue.
QByteArray UprightPhoneJpeg(int storedWidth, int storedHeight)
{
    QImage stored(storedWidth, storedHeight, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    for (int y = 0; y < storedHeight; ++y)
        for (int x = 0; x < storedWidth / 2; ++x)
            stored.setPixelColor(x, y, Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(stored.save(&buffer, "JPG", 95));
    // APP1: "Exif\0\0", a little-endian TIFF header, IFD0 with one entry: Orientation (0x0112),
    // SHORT, count 1, value 6; no next IFD.
    const QByteArray exif("Exif\0\0"
                          "II\x2A\0\x08\0\0\0"
                          "\x01\0"
                          "\x12\x01\x03\0\x01\0\0\0\x06\0\0\0"
                          "\0\0\0\0",
                          6 + 8 + 2 + 12 + 4);
    QByteArray app1("\xFF\xE1", 2);
    const int length = exif.size() + 2;
    app1.append(char(length >> 8));
    app1.append(char(length & 0xFF));
    app1.append(exif);
    jpeg.insert(2, app1); // right after the start-of-image marker
    return jpeg;
}

} // namespace

TEST_F(StripHostileFilesTest, VeryWidePicturesGetBoundedLetterboxedThumbnailsAndTheRestStay)
{
    // 30000 × 1 would make a thumbnail 4.5 million pixels wide; 300 × 3 one of 15000.
    QImage wide(30000, 1, QImage::Format_RGB32);
    wide.fill(Qt::green);
    ASSERT_TRUE(wide.save(File("1-wide.png")));
    QImage banner(300, 3, QImage::Format_RGB32);
    banner.fill(Qt::red);
    ASSERT_TRUE(banner.save(File("2-banner.png")));
    ASSERT_TRUE(WriteTestImage(File("3-plain.png"), 40, 30));

    auto strip = Strip(StripContent::Frames, 1);
    ASSERT_TRUE(FillStrip(*strip, Folder()));
    const auto& t = strip->thumbnails();
    ASSERT_EQ(t.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_FLOAT_EQ(t[i]->width(), 800.0f) << "four strip heights";
        EXPECT_EQ(t[i]->bitmap().size(), QSize(800, 150));
        EXPECT_LE(t[i]->bitmap().sizeInBytes(), qint64{800} * 150 * 4);
    }
    EXPECT_FLOAT_EQ(t[2]->width(), 200.0f);
    EXPECT_FLOAT_EQ(t[1]->x(), 25.0f + 800.0f + 25.0f) << "the next thumbnail follows in reach";
    // The picture fills a band across the middle; above and below it is transparent.
    const QImage& b = t[1]->bitmap(); // 300 × 3 at 800 wide: a band 8 high
    EXPECT_EQ(b.pixelColor(400, 75), QColor(Qt::red));
    EXPECT_EQ(b.pixelColor(400, 10).alpha(), 0);
    EXPECT_EQ(b.pixelColor(400, 140).alpha(), 0);
    EXPECT_EQ(t[0]->bitmap().pixelColor(400, 74), QColor(Qt::green)) << "a band of one row";

    // Laying out from headers gives the same widths.
    EXPECT_EQ(ThumbnailWidth(QSize(30000, 1), 150.0f), std::optional<float>(800.0f));
    EXPECT_EQ(ThumbnailWidth(QSize(40, 30), 150.0f), std::optional<float>(200.0f));
}

TEST_F(StripHostileFilesTest, PictureWhoseHeaderPromisesTooMuchIsNotDecodedAndTheRestStay)
{
    // A valid GIF header announcing 9000 × 9000 (324 MB a frame).
    ASSERT_TRUE(testimages::WriteSparseGif(File("1-huge.gif"), 9000, 9000, 1, 0));
    ASSERT_TRUE(WriteTestImage(File("2-plain.gif"), 40, 30));
    EXPECT_FALSE(ReadPictureHeader(File("1-huge.gif")));
    EXPECT_FALSE(LoadPhotoThumbnail(File("1-huge.gif"), 150.0f));
    EXPECT_EQ(ReadStillImage(File("1-huge.gif")).outcome, StillImage::TooLarge);
    auto strip = Strip(StripContent::Frames, 0);
    FillStripStats stats;
    ASSERT_TRUE(FillStrip(*strip, Folder(), &stats));
    EXPECT_EQ(stats.shown, 1);
    EXPECT_EQ(stats.skipped, 1);
}

TEST_F(StripHostileFilesTest, NamesThatAreNotUtf8AreListedOpenedAndReadable)
{
    // "café.png" written in Latin-1 beside the same name in UTF-8, with other pictures.
    QImage latin(40, 20, QImage::Format_RGB32);
    latin.fill(Qt::red);
    QImage utf8(20, 20, QImage::Format_RGB32);
    utf8.fill(Qt::blue);
    WriteRaw(QByteArray("caf\xE9.png"), Encoded(latin, "PNG"));
    WriteRaw(QByteArray("caf\xC3\xA9.png"), Encoded(utf8, "PNG"));

    const std::vector<QString> listed = ScanFolder(Folder(), QStringLiteral(".png"));
    ASSERT_EQ(listed.size(), 2u);
    const auto raw = std::find_if(listed.begin(), listed.end(), [](const QString& p) { return HasRawBytes(p); });
    ASSERT_NE(raw, listed.end());
    EXPECT_TRUE(FileNameToBytes(*raw).endsWith(QByteArray("/caf\xE9.png")));
    EXPECT_EQ(ReadableFileName(QFileInfo(*raw).fileName()), QString::fromUtf8("café.png"));
    const QString& other = *raw == listed[0] ? listed[1] : listed[0];
    EXPECT_FALSE(HasRawBytes(other));
    EXPECT_TRUE(other.endsWith(QString::fromUtf8("café.png")));

    // Each name opens its own picture, in the strip and as a sticker.
    auto strip = Strip(StripContent::Frames, 1);
    ASSERT_TRUE(FillStrip(*strip, Folder()));
    ASSERT_EQ(strip->thumbnails().size(), 2u);
    for (const auto& photo : strip->thumbnails()) {
        const bool isRaw = HasRawBytes(photo->path());
        EXPECT_FLOAT_EQ(photo->width(), isRaw ? 300.0f : 150.0f);
        EXPECT_EQ(photo->bitmap().pixelColor(10, 10), QColor(isRaw ? Qt::red : Qt::blue));
    }
    AddOnCollection addOns([] { return 1u; });
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    EXPECT_EQ(addOns.AddAddOn(*raw, static_cast<int>(DecorationKind::Png)), AddOnOutcome::Added);
    EXPECT_EQ(addOns.still()[0].width, 40);
    const std::optional<FileStamp> stamp = StatFile(*raw);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->size, Encoded(latin, "PNG").size());
    EXPECT_TRUE(ThumbnailIsCurrent(*LoadPhotoThumbnail(*raw, 150.0f), *raw, 150.0f));

    // A raw-byte GIF animates too.
    ASSERT_TRUE(testimages::WriteSparseGif(File("tmp.gif"), 8, 8, 3, 5));
    QFile gif(File("tmp.gif"));
    ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
    WriteRaw(QByteArray("\xB6\xAF.gif"), gif.readAll()); // GBK bytes
    const std::vector<QString> gifs = ScanFolder(Folder(), QStringLiteral(".gif"));
    ASSERT_EQ(gifs.size(), 2u);
    const QString rawGif = HasRawBytes(gifs[0]) ? gifs[0] : gifs[1];
    ASSERT_TRUE(HasRawBytes(rawGif));
    ImageEx animation(rawGif);
    EXPECT_TRUE(animation.ready());
    EXPECT_EQ(animation.frameCount(), 3u);
}

TEST_F(StripHostileFilesTest, ExifOrientationTurnsThumbnailsAndDecorations)
{
    // Stored 80 × 40, shown 40 × 80 with the stored left (red) at the top.
    const QByteArray jpeg = UprightPhoneJpeg(80, 40);
    WriteRaw("upright.jpg", jpeg);
    const QString path = File("upright.jpg");
    const std::optional<PictureHeader> header = ReadPictureHeader(path);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->size, QSize(40, 80));

    const std::optional<PhotoThumbnail> thumb = LoadPhotoThumbnail(path, 150.0f);
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->bitmap.size(), QSize(75, 150));
    const QColor top = thumb->bitmap.pixelColor(37, 20);
    const QColor bottom = thumb->bitmap.pixelColor(37, 130);
    EXPECT_GT(top.red(), 200);
    EXPECT_LT(top.blue(), 60);
    EXPECT_GT(bottom.blue(), 200);
    EXPECT_LT(bottom.red(), 60);

    // The photos strip lays out from headers and decodes on demand: the same shape.
    auto strip = Strip(StripContent::Photos, kPhotoStripKind);
    strip->SetLoadOnDemand(true);
    ASSERT_TRUE(FillStrip(*strip, Folder()));
    strip->WaitForThumbnails();
    ASSERT_EQ(strip->thumbnails().size(), 1u);
    EXPECT_FLOAT_EQ(strip->thumbnails()[0]->width(), 75.0f);
    EXPECT_EQ(strip->thumbnails()[0]->bitmap().size(), QSize(75, 150));

    const StillImage still = ReadStillImage(path);
    EXPECT_EQ(still.image.size(), QSize(40, 80));
    EXPECT_GT(still.image.pixelColor(20, 5).red(), 200);
}
