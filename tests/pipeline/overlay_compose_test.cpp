#include "pipeline/compose/DisplayConversion.h"
#include "pipeline/compose/OverlayStore.h"
#include "pipeline/compose/Overlays.h"
#include "pipeline/record/PhotoCapture.h"
#include "TestImages.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <opencv2/core.hpp>

#include <cstdlib>

namespace {

constexpr int kW = 640;
constexpr int kH = 480;
const QColor kBackground(120, 80, 40); // the camera frame, BGR (40, 80, 120)
const QColor kLogo(Qt::red);
const QColor kFrame(Qt::green);
const QColor kAddOn(Qt::blue);

class OverlayComposeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        logoPath = dir.filePath("loogo.png");
        ASSERT_TRUE(testimages::WritePng(logoPath, 40, 30, kLogo));

        // A frame the size of the picture, transparent but for two opaque corners.
        QImage frame(kW, kH, QImage::Format_ARGB32);
        frame.fill(Qt::transparent);
        {
            QPainter p(&frame);
            p.fillRect(0, 0, 50, 50, kFrame);
            p.fillRect(kW - 20, kH - 20, 20, 20, kFrame);
        }
        framePath = dir.filePath("frame.png");
        ASSERT_TRUE(frame.save(framePath));
        addOnPath = dir.filePath("addon.png");
        ASSERT_TRUE(testimages::WritePng(addOnPath, 16, 16, kAddOn));
    }

    static QImage CameraPicture()
    {
        const cv::Mat bgr(kH, kW, CV_8UC3, cv::Scalar(40, 80, 120));
        QImage picture;
        FillPictureFromFrame(bgr, picture);
        return picture;
    }

    QImage Compose(OverlayStore& decorations)
    {
        QImage picture = CameraPicture();
        decorations.DrawOverlays(picture);
        return picture;
    }

    static int Differences(const QImage& a, const QImage& b)
    {
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                count += a.pixel(x, y) != b.pixel(x, y);
        return count;
    }

    QTemporaryDir dir;
    QString logoPath;
    QString framePath;
    QString addOnPath;
    std::time_t now = 1'700'000'000;
};

TEST_F(OverlayComposeTest, FillPictureConvertsBgrRowsWithoutShear)
{
    // A view into a wider frame has a row stride that is not 3 × width.
    cv::Mat wide(5, 20, CV_8UC3, cv::Scalar(0, 0, 0));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 20; ++x)
            wide.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x), uchar(y), uchar(200));
    const cv::Mat view = wide(cv::Rect(3, 0, 7, 5));
    QImage picture;
    FillPictureFromFrame(view, picture);
    ASSERT_EQ(picture.size(), QSize(7, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(picture.pixel(x, y), qRgba(200, y, x + 3, 255)) << x << "," << y;

    // The same buffer is reused for the next frame of that size...
    const uchar* bits = picture.constBits();
    FillPictureFromFrame(view, picture);
    EXPECT_EQ(picture.constBits(), bits);
    // ...unless the last picture is still held elsewhere, which keeps its pixels.
    const QImage handedOut = picture;
    FillPictureFromFrame(wide(cv::Rect(0, 0, 7, 5)), picture);
    EXPECT_EQ(handedOut.pixel(0, 0), qRgba(200, 0, 3, 255));
    EXPECT_EQ(picture.pixel(0, 0), qRgba(200, 0, 0, 255));
}

TEST_F(OverlayComposeTest, LogoFrameAndAddOnsLandExactlyWhereTheyAreDrawn)
{
    OverlayStore decorations(logoPath, [] { return 7u; }); // a fixed placement
    decorations.SetFrameImage(framePath, 1);
    ASSERT_EQ(decorations.AddAddOn(addOnPath, 1, kW, kH), AddOnOutcome::Added);
    const QPoint addOnAt = decorations.WithAddOns([](const AddOnCollection& a) {
        return QPoint(a.still()[0].x, a.still()[0].y);
    });

    QImage expected = CameraPicture();
    {
        QPainter p(&expected);
        p.fillRect(kW - 40, kH - 30, 40, 30, kLogo);  // bottom-right corner
        p.fillRect(0, 0, 50, 50, kFrame);              // the frame covers the logo...
        p.fillRect(kW - 20, kH - 20, 20, 20, kFrame);  // ...where its corner is opaque
        p.fillRect(addOnAt.x(), addOnAt.y(), 16, 16, kAddOn);
    }
    const QImage picture = Compose(decorations);
    ASSERT_EQ(picture.size(), QSize(kW, kH));
    EXPECT_EQ(Differences(picture, expected), 0);
    EXPECT_EQ(picture.pixel(kW - 1, kH - 1), kFrame.rgb()); // opaque frame corner hides the logo
    EXPECT_EQ(picture.pixel(kW - 30, kH - 25), kLogo.rgb());

    // The photo is the composed picture at its own resolution.
    QTemporaryDir photos;
    const PhotoResult saved = SavePhoto(picture, photos.path(), now);
    ASSERT_TRUE(saved.saved) << saved.message.toStdString();
    const QImage photo(saved.path);
    ASSERT_EQ(photo.size(), QSize(kW, kH));
    auto near = [&photo](QPoint at, QColor want) {
        const QColor got = photo.pixelColor(at);
        return std::abs(got.red() - want.red()) <= 12 && std::abs(got.green() - want.green()) <= 12
            && std::abs(got.blue() - want.blue()) <= 12;
    };
    EXPECT_TRUE(near({kW - 30, kH - 25}, kLogo));
    EXPECT_TRUE(near({kW - 8, kH - 8}, kFrame));
    EXPECT_TRUE(near({25, 25}, kFrame));
    EXPECT_TRUE(near(addOnAt + QPoint(8, 8), kAddOn));
    const QPoint open = QRect(addOnAt, QSize(16, 16)).adjusted(-10, -10, 10, 10).contains(300, 300)
        ? QPoint(100, 300)
        : QPoint(300, 300);
    EXPECT_TRUE(near(open, kBackground));
}

TEST_F(OverlayComposeTest, SmallFrameIsStretchedOverThePicture)
{
    QImage half(320, 240, QImage::Format_ARGB32);
    half.fill(Qt::transparent);
    {
        QPainter p(&half);
        p.fillRect(0, 0, 160, 240, kFrame); // left half opaque
    }
    const QString path = dir.filePath("half.png");
    ASSERT_TRUE(half.save(path));
    OverlayStore decorations(dir.filePath("no-logo.png"));
    decorations.SetFrameImage(path, 1);
    const QImage picture = Compose(decorations);
    EXPECT_EQ(picture.pixel(10, 470), kFrame.rgb());
    EXPECT_EQ(picture.pixel(300, 10), kFrame.rgb());
    EXPECT_EQ(picture.pixel(340, 10), kBackground.rgb());
    EXPECT_EQ(picture.pixel(630, 470), kBackground.rgb());
}

TEST_F(OverlayComposeTest, HiddenLayersAreNotDrawn)
{
    OverlayStore decorations(logoPath, [] { return 7u; }); // a fixed placement
    decorations.SetFrameImage(framePath, 1);
    decorations.AddAddOn(addOnPath, 1, 16, 16); // at (0, 0), over the frame corner
    QImage picture = Compose(decorations);
    EXPECT_EQ(picture.pixel(5, 5), kAddOn.rgb());
    EXPECT_EQ(picture.pixel(30, 30), kFrame.rgb());

    EXPECT_FALSE(decorations.ToggleAddOnsShown());
    picture = Compose(decorations);
    EXPECT_EQ(picture.pixel(5, 5), kFrame.rgb());

    EXPECT_FALSE(decorations.ToggleFrameShown());
    picture = Compose(decorations);
    EXPECT_EQ(picture.pixel(5, 5), kBackground.rgb());
    EXPECT_EQ(picture.pixel(kW - 1, kH - 1), kLogo.rgb()); // no frame corner over it now

    EXPECT_FALSE(decorations.ToggleLogoShown());
    picture = Compose(decorations);
    EXPECT_EQ(picture.pixel(kW - 1, kH - 1), kBackground.rgb());
    EXPECT_EQ(Differences(picture, CameraPicture()), 0);

    EXPECT_TRUE(decorations.ToggleLogoShown());
    EXPECT_TRUE(decorations.ToggleFrameShown());
    EXPECT_TRUE(decorations.ToggleAddOnsShown());
    picture = Compose(decorations);
    EXPECT_EQ(picture.pixel(5, 5), kAddOn.rgb());
}

TEST_F(OverlayComposeTest, ChangedLogoShowsFromTheNextFrame)
{
    const QString path = dir.filePath("changing.png");
    OverlayStore decorations(path);
    QImage picture = Compose(decorations); // no file yet: nothing drawn
    EXPECT_EQ(Differences(picture, CameraPicture()), 0);

    ASSERT_TRUE(testimages::WritePng(path, 20, 20, Qt::red));
    picture = Compose(decorations);
    EXPECT_EQ(picture.pixel(kW - 10, kH - 10), QColor(Qt::red).rgb());
    EXPECT_EQ(picture.pixel(kW - 25, kH - 25), kBackground.rgb());

    ASSERT_TRUE(testimages::WritePng(path, 30, 30, Qt::yellow));
    picture = Compose(decorations);
    EXPECT_EQ(picture.pixel(kW - 10, kH - 10), QColor(Qt::yellow).rgb());
    EXPECT_EQ(picture.pixel(kW - 25, kH - 25), QColor(Qt::yellow).rgb());

    ASSERT_TRUE(QFile::remove(path));
    picture = Compose(decorations);
    EXPECT_EQ(Differences(picture, CameraPicture()), 0);
}

TEST_F(OverlayComposeTest, TransparentPartsOfDecorationsBlendOverThePicture)
{
    // Half-transparent white over the camera colour.
    const QString path = dir.filePath("veil.png");
    ASSERT_TRUE(testimages::WritePng(path, kW, kH, QColor(255, 255, 255, 128)));
    OverlayStore decorations(dir.filePath("no-logo.png"));
    decorations.SetFrameImage(path, 1);
    const QColor got = Compose(decorations).pixelColor(100, 100);
    EXPECT_NEAR(got.red(), (120 + 255) / 2, 2);
    EXPECT_NEAR(got.green(), (80 + 255) / 2, 2);
    EXPECT_NEAR(got.blue(), (40 + 255) / 2, 2);
}

} // namespace
