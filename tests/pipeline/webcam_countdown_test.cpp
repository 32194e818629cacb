#include "QtTestApp.h"
#include "ScriptedSource.h"

#include "pipeline/CWebcamCtl.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

// Pixels of an image that are nearly white, and the mean of all samples.
std::pair<int, double> WhiteAndMean(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int white = 0;
    double sum = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            white += qRed(p) > 230 && qGreen(p) > 230 && qBlue(p) > 230;
            sum += qRed(p) + qGreen(p) + qBlue(p);
        }
    return { white, sum / (3.0 * rgb.width() * rgb.height()) };
}

TEST(WebcamCountdownTest, SecondsAndFlashAreDrawnOnTheScreenOnlyAndTheFlashFades)
{
    EnsureQtApp();
    QTemporaryDir dir;
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes install(boxes);
    auto state = std::make_shared<ScriptedSourceState>();
    state->frameFor = [](int) { return cv::Mat(480, 640, CV_8UC3, cv::Scalar(40, 60, 30)); }; // dark, mean 43
    CWebcamCtl ctl(dir.path(), dir.path(), ScriptedFactory(state));
    ctl.SetPictureSize(640, 480);
    ctl.SetDisplaySize(640, 480);
    ctl.show();
    ASSERT_TRUE(ctl.session().Start());
    ASSERT_TRUE(WaitUntil([&] { return !ctl.shownImage().isNull(); }));
    auto screen = [&] { return WhiteAndMean(ctl.grab().toImage()); };
    EXPECT_EQ(screen().first, 0);

    ctl.ShowCountdown(3);
    EXPECT_GT(WhiteAndMean(ctl.grab(QRect(220, 140, 200, 200)).toImage()).first, 1000); // large, in the middle
    QString saved;
    QObject::connect(&ctl.session(), &PictureSession::photoSaved, &ctl, [&](const QString& path) { saved = path; });
    ctl.model().photos.Request();
    ASSERT_TRUE(WaitUntil([&] { return !saved.isEmpty(); }));
    EXPECT_EQ(WhiteAndMean(QImage(saved)).first, 0);
    ctl.ShowCountdown(0);
    EXPECT_EQ(screen().first, 0);

    QElapsedTimer clock;
    clock.start();
    ctl.Flash();
    EXPECT_GT(screen().second, 200);
    ASSERT_TRUE(WaitUntil([&] { return !ctl.flashing(); }, 2000));
    EXPECT_GE(clock.elapsed(), 100);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_NEAR(screen().second, 43, 3);
    ctl.session().Stop();
}

} // namespace
