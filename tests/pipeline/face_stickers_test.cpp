#include "TestImages.h"
#include "pipeline/faces/FaceTracker.h"
#include "pipeline/faces/FaceView.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/compose/OverlayStore.h"
#include "pipeline/compose/Overlays.h"
#include "pipeline/capture/TestSceneFace.h"
#include "pipeline/capture/TestSceneSource.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/GrainRandom.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/stages/ProcessFrame.h"

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
        store_.FollowFaces(tracker_.Faces(t), view_);
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
    FaceView view_; // how the camera frame is shown: as it is unless a test flips or zooms it
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

// Faces are found on the camera frame as it comes, and a sticker keeps its place on the face
// itself: dropped on the forehead in the mirrored picture, it stays on the forehead in every flip,
// below the face's centre on the screen when the picture stands on its head.
TEST_F(FaceStickersTest, AStickerStaysOnItsPlaceOnTheFaceInEveryFlip)
{
    ASSERT_TRUE(store_.ToggleFollowFaces());
    view_ = FaceView(kSize, kSize, std::nullopt, kFlipMirror);
    MovingFace(0, 1.0);
    const std::uint64_t crown = AddSticker();
    const cv::Rect2d shownFace = view_.ToPicture(MovingFaceBox(kSize, 1.0, photo_.size()));
    const cv::Point2d forehead = CentreOf(shownFace) - cv::Point2d(0, 0.3 * shownFace.width);
    Drag(crown, cv::Point(cvRound(forehead.x), cvRound(forehead.y)));
    ASSERT_TRUE(store_.followsFace(crown));

    double t = 1.0;
    for (int flip : { kFlipUpsideDown, kFlipNone, kFlipMirrorUpsideDown, kFlipMirror }) {
        view_ = FaceView(kSize, kSize, std::nullopt, flip);
        for (const double end = t + 0.7; t < end; t += kFrameSeconds)
            Frame(t, t);
        const double seen = t - kFrameSeconds;
        const cv::Rect2d cameraFace = MovingFaceBox(kSize, seen, photo_.size());
        const cv::Point2d cameraForehead = CentreOf(cameraFace) - cv::Point2d(0, 0.3 * cameraFace.width);
        const cv::Point2d expected = CentreOf(view_.ToPicture(cv::Rect2d(cameraForehead, cv::Size2d())));
        const cv::Point2d centre = CentreOf(cv::Rect2d(StickerRect(crown)));
        EXPECT_LE(cv::norm(centre - expected), 0.1 * cameraFace.width) << "flip " << flip << ": " << centre << " vs " << expected;
        const cv::Point2d faceCentre = CentreOf(view_.ToPicture(cameraFace));
        const bool upsideDown = flip == kFlipUpsideDown || flip == kFlipMirrorUpsideDown;
        if (upsideDown)
            EXPECT_GT(centre.y, faceCentre.y + 0.15 * cameraFace.width) << "flip " << flip;
        else
            EXPECT_LT(centre.y, faceCentre.y - 0.15 * cameraFace.width) << "flip " << flip;
        ASSERT_TRUE(store_.followsFace(crown)) << "flip " << flip;
    }
}

// A zoomed face gets its sticker at the zoomed size, drawn from the sticker's own pixels: a
// sticker of fine stripes shown at half its size on a small face comes back stripe for stripe
// when the zoom doubles that face.
TEST_F(FaceStickersTest, AZoomedFaceGetsItsStickerFromTheStickersOwnPixels)
{
    QImage stripes(120, 60, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, ((x + y) % 2 == 0) ? qRgb(250, 20, 20) : qRgb(10, 10, 240));
    const QString path = dir_.filePath("stripes.png");
    ASSERT_TRUE(stripes.save(path));
    ASSERT_TRUE(store_.ToggleFollowFaces());
    ASSERT_EQ(store_.AddAddOn(path, 1, kSize.width, kSize.height), AddOnOutcome::Added);
    const std::uint64_t sticker = store_.WithAddOns([](const AddOnCollection& a) { return a.still().back().serial; });

    // Let go at its own size on a face 100 wide; then the face is 50 wide, the sticker 60 × 30.
    const cv::Point2d at = CentreOf(cv::Rect2d(StickerRect(sticker)));
    store_.FollowFaces({ { 1, cv::Rect2d(at.x - 50, at.y - 50, 100, 100) } }, view_);
    Drag(sticker, { cvRound(at.x), cvRound(at.y) + 1 });
    ASSERT_TRUE(store_.followsFace(sticker));
    const cv::Rect2d small(300, 200, 50, 50);
    store_.FollowFaces({ { 1, small } }, view_);
    EXPECT_EQ(StickerRect(sticker).size(), cv::Size(60, 30));

    // Twice the zoom around the face, in the mirrored picture.
    const FaceView zoomed(kSize, kSize, cv::Rect(160, 120, 320, 240), kFlipMirror);
    store_.FollowFaces({ { 1, small } }, zoomed);
    const cv::Rect shown = StickerRect(sticker);
    ASSERT_EQ(shown.size(), cv::Size(120, 60));
    const cv::Rect2d face = zoomed.ToPicture(small);
    EXPECT_LE(cv::norm(CentreOf(cv::Rect2d(shown)) - CentreOf(face)), 2.0);

    QImage picture(kSize.width, kSize.height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    store_.DrawOverlays(picture);
    int differing = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            differing += picture.pixel(shown.x + x, shown.y + y) != stripes.pixel(x, y);
    EXPECT_EQ(differing, 0);
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

// Under a fun effect that moves the picture the sticker goes through it with its face (the mirror
// gives the mirrored face its sticker too) and is not laid over the picture again where the face
// was; under one that only recolours, it stays on top, untouched.
TEST_F(FaceStickersTest, AMovingFunEffectTakesTheStickerWithItsFace)
{
    ASSERT_TRUE(store_.ToggleFollowFaces());
    const std::uint64_t crown = AddSticker();
    const cv::Rect r = StickerRect(crown);
    const cv::Point2d c = CentreOf(cv::Rect2d(r));
    store_.FollowFaces({ { 1, cv::Rect2d(c.x - 100, c.y - 100, 200, 200) } });
    Drag(crown, { cvRound(c.x), cvRound(c.y) + 1 });
    ASSERT_TRUE(store_.followsFace(crown));
    store_.FollowFaces({ { 1, cv::Rect2d(40, 100, 200, 200) } }); // the face on the left half
    const cv::Rect placed = StickerRect(crown);
    ASSERT_LT(placed.br().x, kSize.width / 2);
    const cv::Point inside(placed.x + placed.width / 2, placed.y + placed.height / 2);
    const QRgb yellow = QColor(Qt::yellow).rgb();

    auto run = [&](FunEffect effect) {
        PictureSettings settings;
        settings.flipMode = kFlipNone;
        settings.funEffect = effect;
        cv::Mat frame(kSize, CV_8UC3, cv::Scalar(90, 60, 30));
        FlowState flow;
        DoodleLayer doodle;
        GrainRandom random;
        std::vector<std::uint64_t> beneath;
        FunInput fun;
        fun.beneathMovingEffect = [&](cv::Mat& f) { beneath = store_.DrawFaceStickersInto(f); };
        ProcessFrame(frame, settings, flow, doodle, random, nullptr, nullptr, fun);
        QImage picture = QImage(frame.data, frame.cols, frame.rows, static_cast<qsizetype>(frame.step),
            QImage::Format_BGR888)
                             .convertToFormat(QImage::Format_RGB32);
        store_.DrawOverlays(picture, beneath);
        return std::make_pair(picture, beneath);
    };

    const auto [mirrored, mirroredBeneath] = run(kFunMirror);
    EXPECT_EQ(mirroredBeneath, std::vector<std::uint64_t> { crown });
    EXPECT_EQ(mirrored.pixel(inside.x, inside.y), yellow);
    EXPECT_EQ(mirrored.pixel(kSize.width - 1 - inside.x, inside.y), yellow) << "the mirrored face has it too";

    const auto [pop, popBeneath] = run(kFunPop);
    EXPECT_EQ(popBeneath.size(), 1u);
    EXPECT_NE(pop.pixel(inside.x, inside.y), yellow) << "not laid again over the four pictures";

    const auto [thermal, thermalBeneath] = run(kFunThermal);
    EXPECT_TRUE(thermalBeneath.empty());
    EXPECT_EQ(thermal.pixel(inside.x, inside.y), yellow);

    // A sticker being dragged stays on top, where the pointer has it.
    ASSERT_TRUE(store_.PointerMove(inside.x, inside.y));
    store_.PointerDown();
    store_.PointerMove(inside.x + 1, inside.y);
    EXPECT_TRUE(run(kFunMirror).second.empty());
    store_.PointerUp();
}

} // namespace
