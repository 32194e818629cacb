#include "TestImages.h"
#include "pipeline/faces/FaceTracker.h"
#include "pipeline/compose/OverlayStore.h"
#include "pipeline/compose/Overlays.h"
#include "pipeline/capture/TestSceneFace.h"
#include "pipeline/capture/TestSceneSource.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kFrameSeconds = 1.0 / 30;
const cv::Size kSize(640, 480);

cv::Point2d CentreOf(const cv::Rect2d& r)
{
    return { r.x + r.width / 2, r.y + r.height / 2 };
}

// The sticker tests drive the whole chain frame by frame on one thread: the test scene with its
// moving face, detection every few frames (as the tracker's thread does), the tracked faces, and
// the add-ons following them.
class FaceStickersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        photo_ = LoadTestSceneFace(PARVEL_TEST_DATA_DIR "/../../resources/system/" + std::string(kTestSceneFaceFile));
        ASSERT_FALSE(photo_.empty());
        stickerPath_ = dir_.filePath("crown.png");
        ASSERT_TRUE(testimages::WritePng(stickerPath_, 60, 30, Qt::yellow));
    }

    // One camera frame at time t; the face is drawn as it is at faceSeconds, or not at all.
    void Frame(double t, std::optional<double> faceSeconds)
    {
        cv::Mat frame = TestSceneSource::Render(frameNumber_);
        if (faceSeconds)
            DrawMovingFace(frame, *faceSeconds, photo_);
        if (frameNumber_ % FaceTracker::kDetectEvery == 0)
            tracker_.DetectNow(frame, t);
        ++frameNumber_;
        store_.FollowFaces(tracker_.Faces(t));
    }
    // Frames with the face moving along its path, from `from` up to `to`.
    void MovingFace(double from, double to)
    {
        for (double t = from; t < to; t += kFrameSeconds)
            Frame(t, t);
    }

    // Places a sticker from the strip, then drags it with the mouse so its centre is at `to`.
    std::uint64_t AddSticker()
    {
        EXPECT_EQ(store_.AddAddOn(stickerPath_, 1, kSize.width, kSize.height), AddOnOutcome::Added);
        return store_.WithAddOns([](const AddOnCollection& a) { return a.still().back().serial; });
    }
    cv::Rect StickerRect(std::uint64_t serial) const
    {
        return store_.WithAddOns([serial](const AddOnCollection& a) {
            const AddOnBounds b = a.Find(serial)->bounds;
            return cv::Rect(b.left, b.top, b.right - b.left, b.bottom - b.top);
        });
    }
    void Drag(std::uint64_t serial, cv::Point to)
    {
        const cv::Rect r = StickerRect(serial);
        ASSERT_TRUE(store_.PointerMove(r.x + r.width / 2, r.y + r.height / 2));
        store_.PointerDown();
        store_.PointerMove(to.x, to.y);
        store_.PointerUp();
    }
    // Where a sticker belongs on the face at time t, given its place relative to the face when
    // it was attached (offset in face widths).
    static cv::Point2d Expected(cv::Point2d offset, double t, const cv::Mat& photo)
    {
        const cv::Rect2d face = MovingFaceBox(kSize, t, photo.size());
        return CentreOf(face) + offset * face.width;
    }
    // Drags a new sticker onto the forehead of the face as it is at t; returns its offset from
    // the face centre in face widths.
    cv::Point2d StickerOnForehead(std::uint64_t serial, double t)
    {
        const cv::Rect2d face = MovingFaceBox(kSize, t, photo_.size());
        const cv::Point2d target = CentreOf(face) - cv::Point2d(0, 0.3 * face.width);
        Drag(serial, cv::Point(cvRound(target.x), cvRound(target.y)));
        return (CentreOf(cv::Rect2d(StickerRect(serial))) - CentreOf(face)) / face.width;
    }

    QTemporaryDir dir_;
    QString stickerPath_;
    cv::Mat photo_;
    OverlayStore store_ { QStringLiteral("/nonexistent/loogo.png"), [] { return 7u; } };
    FaceTracker tracker_;
    int frameNumber_ = 0;
};

TEST_F(FaceStickersTest, AStickerOnTheFaceFollowsItAndScalesWithItAcrossThePicture)
{
    ASSERT_TRUE(store_.ToggleFollowFaces());
    MovingFace(0, 1.0);
    const std::uint64_t crown = AddSticker();
    const cv::Point2d offset = StickerOnForehead(crown, 1.0);
    ASSERT_TRUE(store_.followsFace(crown));
    const double sizeToFace = StickerRect(crown).width / MovingFaceBox(kSize, 1.0, photo_.size()).width;

    double minX = kSize.width;
    double maxX = 0;
    for (double t = 1.0; t < 9.0; t += kFrameSeconds) {
        Frame(t, t);
        const cv::Rect now = StickerRect(crown);
        const cv::Point2d centre = CentreOf(cv::Rect2d(now));
        const double faceWidth = MovingFaceBox(kSize, t, photo_.size()).width;
        const cv::Point2d expected = Expected(offset, t, photo_);
        EXPECT_LE(cv::norm(centre - expected), 0.1 * faceWidth) << "at " << t << "s: " << centre << " vs " << expected;
        EXPECT_NEAR(now.width / faceWidth, sizeToFace, 0.15 * sizeToFace) << t;
        minX = std::min(minX, centre.x);
        maxX = std::max(maxX, centre.x);
    }
    // It really went along: the face crosses most of the picture in those seconds.
    EXPECT_GT(maxX - minX, kSize.width / 3.0);
}

TEST_F(FaceStickersTest, DraggingAStickerOffItsFaceDetachesItAndDraggingItBackAttachesIt)
{
    ASSERT_TRUE(store_.ToggleFollowFaces());
    MovingFace(0, 1.0);
    const std::uint64_t crown = AddSticker();
    StickerOnForehead(crown, 1.0);
    ASSERT_TRUE(store_.followsFace(crown));
    MovingFace(1.0, 2.0);

    Drag(crown, { 20, 20 });
    EXPECT_FALSE(store_.followsFace(crown));
    const cv::Rect parked = StickerRect(crown);
    MovingFace(2.0, 4.0);
    EXPECT_EQ(StickerRect(crown), parked);

    const cv::Point2d offset = StickerOnForehead(crown, 4.0);
    EXPECT_TRUE(store_.followsFace(crown));
    MovingFace(4.0, 5.0);
    EXPECT_LE(cv::norm(CentreOf(cv::Rect2d(StickerRect(crown))) - Expected(offset, 5.0 - kFrameSeconds, photo_)),
        0.1 * MovingFaceBox(kSize, 5.0, photo_.size()).width);
}

TEST_F(FaceStickersTest, ALostFaceLeavesTheStickerStillAndItFollowsAgainWhenTheFaceReturns)
{
    ASSERT_TRUE(store_.ToggleFollowFaces());
    MovingFace(0, 1.0);
    const std::uint64_t crown = AddSticker();
    const cv::Point2d offset = StickerOnForehead(crown, 1.0);
    MovingFace(1.0, 3.0);
    const cv::Rect whenLost = StickerRect(crown);
    const double faceWidth = MovingFaceBox(kSize, 3.0, photo_.size()).width;

    // Two seconds without the face: after the short carrying on of its motion, nothing moves.
    double t = 3.0;
    cv::Rect settled;
    for (; t < 5.0; t += kFrameSeconds) {
        Frame(t, std::nullopt);
        if (t < 3.0 + FaceTracks::kPredictSeconds + 0.15) {
            settled = StickerRect(crown);
            continue;
        }
        EXPECT_EQ(StickerRect(crown), settled) << t;
    }
    EXPECT_LE(cv::norm(settled.tl() - whenLost.tl()), 0.3 * faceWidth);
    EXPECT_TRUE(store_.followsFace(crown));

    // The face comes back where it was lost and goes on along its path: the sticker with it.
    for (double path = 3.0; t < 8.0; t += kFrameSeconds, path += kFrameSeconds) {
        Frame(t, path);
        if (path > 3.5) {
            EXPECT_LE(cv::norm(CentreOf(cv::Rect2d(StickerRect(crown))) - Expected(offset, path, photo_)),
                0.1 * MovingFaceBox(kSize, path, photo_.size()).width)
                << path;
        }
    }
}

TEST_F(FaceStickersTest, WithTheCommandOffNoStickerMovesOrAttaches)
{
    MovingFace(0, 1.0);
    const std::uint64_t crown = AddSticker();
    StickerOnForehead(crown, 1.0);
    EXPECT_FALSE(store_.followsFace(crown));
    const cv::Rect placed = StickerRect(crown);
    MovingFace(1.0, 3.0);
    EXPECT_EQ(StickerRect(crown), placed);
    EXPECT_EQ(placed.size(), cv::Size(60, 30)) << "natural size, as always";

    // On, attached, and off again: it stops where it was.
    ASSERT_TRUE(store_.ToggleFollowFaces());
    MovingFace(3.0, 3.5);
    StickerOnForehead(crown, 3.5);
    ASSERT_TRUE(store_.followsFace(crown));
    MovingFace(3.5, 4.0);
    EXPECT_FALSE(store_.ToggleFollowFaces());
    EXPECT_FALSE(store_.followsFace(crown));
    const cv::Rect released = StickerRect(crown);
    MovingFace(4.0, 6.0);
    EXPECT_EQ(StickerRect(crown), released);
}

// What is composed is what follows the face: the sticker drawn over its scaled rectangle.
TEST_F(FaceStickersTest, AFollowingStickerIsComposedAtItsScaledPlace)
{
    ASSERT_TRUE(store_.ToggleFollowFaces());
    const std::uint64_t crown = AddSticker();
    // A face 200 wide under the sticker's centre; then the face doubles.
    const cv::Rect r = StickerRect(crown);
    const cv::Point2d c = CentreOf(cv::Rect2d(r));
    store_.FollowFaces({ { 1, cv::Rect2d(c.x - 100, c.y - 100, 200, 200) } });
    Drag(crown, { cvRound(c.x), cvRound(c.y) + 1 });
    ASSERT_TRUE(store_.followsFace(crown));
    store_.FollowFaces({ { 1, cv::Rect2d(100, 100, 400, 400) } });
    const cv::Rect big = StickerRect(crown);
    EXPECT_NEAR(big.width, 120, 2);
    EXPECT_NEAR(big.height, 60, 2);

    QImage picture(kSize.width, kSize.height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    store_.DrawOverlays(picture);
    const QRgb yellow = QColor(Qt::yellow).rgb();
    EXPECT_EQ(picture.pixel(big.x + 1, big.y + 1), yellow);
    EXPECT_EQ(picture.pixel(big.x + big.width - 2, big.y + big.height - 2), yellow);
    EXPECT_EQ(picture.pixel(big.x + big.width + 1, big.y + big.height / 2), QColor(Qt::black).rgb());
}

} // namespace
