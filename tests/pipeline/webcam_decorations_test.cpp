// The image area with the test scene: logo, a big frame and two add-ons on the live picture, an
// add-on dragged with the mouse, and a photo whose pixels show all of them where they are drawn.
#include "QtTestApp.h"

#include "decorations/DecorationKind.h"
#include "ui/MessageBoxes.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/capture/TestSceneSource.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

namespace {

const QString kSystemDir = QDir(PARVEL_BIN_DIR).filePath("system");
const QString kAnimatedAddOn = QDir(PARVEL_BIN_DIR).filePath("UserData/小挂件/spinstar.gif");

void SendMouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, w.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

bool Near(QColor a, QColor b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

TEST(WebcamDecorations, FrameAddOnsDragAndPhotoOnTheTestScene)
{
    EnsureQtApp();
    if (!QFile::exists(QDir(kSystemDir).filePath("loogo.png")) || !QFile::exists(kAnimatedAddOn))
        GTEST_SKIP() << "shipped images not generated in this build";
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes install(boxes);
    QTemporaryDir dir;
    const QString photoDir = dir.filePath("Photo");
    ASSERT_TRUE(QDir().mkpath(photoDir));

    // A frame with an opaque green border 24 pixels wide and a transparent middle.
    QImage frame(640, 480, QImage::Format_ARGB32);
    frame.fill(Qt::transparent);
    {
        QPainter p(&frame);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 200, 0));
        p.drawRect(0, 0, 640, 24);
        p.drawRect(0, 0, 24, 480);
    }
    const QString framePath = dir.filePath("border.png");
    ASSERT_TRUE(frame.save(framePath));
    QImage sticker(40, 40, QImage::Format_ARGB32);
    sticker.fill(QColor(20, 40, 230));
    const QString stickerPath = dir.filePath("blue.png");
    ASSERT_TRUE(sticker.save(stickerPath));

    CWebcamCtl ctl(kSystemDir, photoDir, [] { return std::make_unique<TestSceneSource>(false); });
    ctl.SetPictureSize(640, 480);
    ctl.SetDisplaySize(320, 240); // the photo must not depend on the display size
    ctl.show();
    ASSERT_TRUE(ctl.session().Start());
    OverlayStore& decorations = ctl.model().overlays;
    decorations.SetFrameImage(framePath, static_cast<int>(DecorationKind::Png));
    ASSERT_EQ(decorations.AddAddOn(stickerPath, static_cast<int>(DecorationKind::Png), 640, 480), AddOnOutcome::Added);

    // Drag the blue sticker: hover it, press, move, release (display pixels are half the picture's).
    const QRect placed = decorations.WithAddOns([](const AddOnCollection& a) {
        const AddOnRecord& r = a.still()[0];
        return QRect(r.x, r.y, r.width, r.height);
    });
    ASSERT_EQ(placed.size(), QSize(40, 40));
    {
        const QPoint grab(placed.center().x() / 2, placed.center().y() / 2);
        const QPoint target(200, 150); // picture (400, 300)
        SendMouse(ctl, QEvent::MouseMove, grab, Qt::NoButton);
        EXPECT_EQ(decorations.hoveredIndex(), 0);
        SendMouse(ctl, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        EXPECT_TRUE(decorations.dragging());
        SendMouse(ctl, QEvent::MouseMove, target, Qt::LeftButton);
        SendMouse(ctl, QEvent::MouseButtonRelease, target, Qt::NoButton);
        EXPECT_FALSE(decorations.dragging());
        const QRect moved = decorations.WithAddOns([](const AddOnCollection& a) {
            return QRect(a.still()[0].x, a.still()[0].y, 40, 40);
        });
        EXPECT_EQ(moved, QRect(380, 280, 40, 40)); // centred on the pointer
    }
    const QRect blue = decorations.WithAddOns([](const AddOnCollection& a) {
        return QRect(a.still()[0].x, a.still()[0].y, 40, 40);
    });

    // An animated add-on joins; it lies under the sticker if it lands there (still ones are on top).
    ASSERT_EQ(decorations.AddAddOn(kAnimatedAddOn, static_cast<int>(DecorationKind::Gif), 640, 480), AddOnOutcome::Added);
    // The animated add-on plays: its picture changes a few delays later.
    const QImage first = decorations.WithAddOns([](const AddOnCollection& a) { return a.animated()[0].animation->ActiveFrame(); });
    ASSERT_TRUE(WaitUntil([&] {
        return decorations.WithAddOns([](const AddOnCollection& a) { return a.animated()[0].animation->ActiveFrame(); })
            != first;
    }));


    // Move the star to the top-left area, clear of the logo. It is grabbed where the sticker
    // (drawn over it) does not cover it, wherever its random place put it.
    auto starRect = [&] {
        return decorations.WithAddOns([](const AddOnCollection& a) {
            const AddOnBounds& b = a.animated()[0].bounds;
            return QRect(b.left, b.top, b.right - b.left, b.bottom - b.top);
        });
    };
    QPoint starGrab(-1, -1);
    for (int y = starRect().top() + 2; y < starRect().bottom() - 2 && starGrab.x() < 0; y += 2)
        for (int x = starRect().left() + 2; x < starRect().right() - 2 && starGrab.x() < 0; x += 2)
            if (!blue.adjusted(-2, -2, 2, 2).contains(x, y))
                starGrab = QPoint(x / 2, y / 2);
    ASSERT_GE(starGrab.x(), 0) << "the star lies wholly under the sticker";
    SendMouse(ctl, QEvent::MouseMove, starGrab, Qt::NoButton);
    SendMouse(ctl, QEvent::MouseButtonPress, starGrab, Qt::LeftButton);
    SendMouse(ctl, QEvent::MouseMove, QPoint(60, 60), Qt::LeftButton);
    SendMouse(ctl, QEvent::MouseButtonRelease, QPoint(60, 60), Qt::NoButton);
    const QRect star = starRect();
    EXPECT_EQ(star.topLeft() + QPoint(star.width() / 2, star.height() / 2), QPoint(120, 120)) << "centred on the pointer";

    // A click in photo mode takes the photo from the composed picture.
    ctl.model().settings.Change([](PictureSettings& s) { s.mouseMode = kMousePhoto; });
    QStringList saved;
    QObject::connect(&ctl.session(), &PictureSession::photoSaved, [&saved](const QString& p) { saved << p; });
    SendMouse(ctl, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    SendMouse(ctl, QEvent::MouseButtonRelease, QPoint(100, 100), Qt::NoButton);
    ASSERT_TRUE(WaitUntil([&] { return saved.count() == 1; }));
    ctl.session().Stop();

    const QString path = saved.at(0);
    EXPECT_TRUE(path.startsWith(photoDir));
    EXPECT_TRUE(path.endsWith(".jpg"));
    const QImage photo(path);
    ASSERT_EQ(photo.size(), QSize(640, 480));
    EXPECT_TRUE(Near(photo.pixelColor(10, 200), QColor(0, 200, 0)));   // frame border
    EXPECT_TRUE(Near(photo.pixelColor(300, 10), QColor(0, 200, 0)));
    EXPECT_TRUE(Near(photo.pixelColor(blue.center()), QColor(20, 40, 230))); // sticker where it was left

    // The logo sits in the bottom-right corner, at its natural size.
    const QImage logo = QImage(QDir(kSystemDir).filePath("loogo.png")).convertToFormat(QImage::Format_ARGB32);
    const QPoint origin(640 - logo.width(), 480 - logo.height());
    int checked = 0;
    for (int y = 1; y < logo.height() - 1 && checked < 20; y += 2)
        for (int x = 1; x < logo.width() - 1 && checked < 20; x += 2) {
            const QColor c = logo.pixelColor(x, y);
            const QPoint at = origin + QPoint(x, y);
            if (c.alpha() < 255 || blue.contains(at) || star.contains(at))
                continue;
            bool solid = true; // JPEG blurs edges: only pixels in a flat opaque neighbourhood
            for (int dy = -1; dy <= 1 && solid; ++dy)
                for (int dx = -1; dx <= 1 && solid; ++dx)
                    solid = logo.pixelColor(x + dx, y + dy) == c;
            if (!solid)
                continue;
            EXPECT_TRUE(Near(photo.pixelColor(at), c)) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 5);
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
