#include "pipeline/FaceAnchors.h"
#include "pipeline/FaceTracks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

cv::Point2d CentreOf(const cv::Rect2d& r)
{
    return { r.x + r.width / 2, r.y + r.height / 2 };
}

cv::Rect Box(double cx, double cy, int size)
{
    return { cvRound(cx - size / 2.0), cvRound(cy - size / 2.0), size, size };
}

// One face moving right at 150 px/s, detected ten times a second with ±4 px of jitter.
TEST(FaceTracksTest, AMovingFaceKeepsItsIdentityAndIsSmoothedAndCarriedOn)
{
    FaceTracks tracks;
    tracks.Update({ Box(100, 200, 80) }, 0.0);
    EXPECT_TRUE(tracks.Faces(0.0).empty()) << "one run is not enough to report a face";
    int id = 0;
    double worstError = 0;
    for (int run = 1; run <= 30; ++run) {
        const double t = run * 0.1;
        const double jitter = (run % 2 == 0 ? 4.0 : -4.0);
        tracks.Update({ Box(100 + 150 * t + jitter, 200 - jitter, 80) }, t);
        const std::vector<TrackedFace> faces = tracks.Faces(t);
        ASSERT_EQ(faces.size(), 1u) << run;
        if (id == 0)
            id = faces[0].id;
        EXPECT_EQ(faces[0].id, id) << run;
        if (run >= 10) {
            const cv::Point2d c = CentreOf(faces[0].box);
            worstError = std::max(worstError, std::hypot(c.x - (100 + 150 * t), c.y - 200));
            EXPECT_NEAR(faces[0].box.width, 80, 2);
        }
    }
    // Smoothing takes out part of the jitter (4 px on each axis is 5.7 px), and the speed
    // estimate keeps it from lagging behind.
    EXPECT_LT(worstError, 4.5);
    // Between runs the face is carried on along its motion.
    const cv::Point2d later = CentreOf(tracks.Faces(3.05).at(0).box);
    EXPECT_NEAR(later.x, 100 + 150 * 3.05, 5);
}

TEST(FaceTracksTest, AMissedFaceIsHeldForAWhileThenForgottenAndComesBackAsANewFace)
{
    FaceTracks tracks;
    for (int run = 0; run < 3; ++run)
        tracks.Update({ Box(300, 200, 60) }, run * 0.1);
    const std::vector<TrackedFace> seen = tracks.Faces(0.2);
    ASSERT_EQ(seen.size(), 1u);
    // Misses for nearly the hold time: still there, where it was.
    for (double t = 0.3; t < 0.2 + FaceTracks::kHoldSeconds - 0.05; t += 0.1)
        tracks.Update({}, t);
    const double held = 0.2 + FaceTracks::kHoldSeconds - 0.05;
    ASSERT_EQ(tracks.Faces(held).size(), 1u);
    EXPECT_EQ(tracks.Faces(held)[0].id, seen[0].id);
    EXPECT_NEAR(CentreOf(tracks.Faces(held)[0].box).x, 300, 1);
    // Past it, gone.
    tracks.Update({}, 0.2 + FaceTracks::kHoldSeconds + 0.1);
    EXPECT_TRUE(tracks.Faces(0.2 + FaceTracks::kHoldSeconds + 0.1).empty());
    // Found again: a new identity once confirmed.
    tracks.Update({ Box(300, 200, 60) }, 1.5);
    tracks.Update({ Box(300, 200, 60) }, 1.6);
    ASSERT_EQ(tracks.Faces(1.6).size(), 1u);
    EXPECT_NE(tracks.Faces(1.6)[0].id, seen[0].id);
}

TEST(FaceTracksTest, TwoFacesKeepTheirIdentitiesWhateverTheOrderOfTheBoxesAndAFalseFindIsDropped)
{
    FaceTracks tracks;
    tracks.Update({ Box(100, 100, 50), Box(400, 120, 70) }, 0.0);
    tracks.Update({ Box(402, 121, 70), Box(103, 100, 50) }, 0.1);
    std::vector<TrackedFace> faces = tracks.Faces(0.1);
    ASSERT_EQ(faces.size(), 2u);
    const int left = CentreOf(faces[0].box).x < 250 ? faces[0].id : faces[1].id;
    const int right = left == faces[0].id ? faces[1].id : faces[0].id;
    // A one-off box elsewhere is never reported, and the two faces stay who they are.
    tracks.Update({ Box(106, 101, 50), Box(250, 400, 40), Box(404, 122, 72) }, 0.2);
    tracks.Update({ Box(405, 122, 71), Box(109, 101, 50) }, 0.3);
    faces = tracks.Faces(0.3);
    ASSERT_EQ(faces.size(), 2u);
    for (const TrackedFace& face : faces)
        EXPECT_EQ(face.id, CentreOf(face.box).x < 250 ? left : right);
}

TEST(FaceTracksTest, ABoxOfAVeryDifferentSizeIsAnotherFace)
{
    FaceTracks tracks;
    tracks.Update({ Box(200, 200, 100) }, 0.0);
    tracks.Update({ Box(200, 200, 100) }, 0.1);
    const int id = tracks.Faces(0.1).at(0).id;
    tracks.Update({ Box(200, 200, 30) }, 0.2);
    tracks.Update({ Box(200, 200, 30) }, 0.3);
    for (const TrackedFace& face : tracks.Faces(0.3)) {
        if (face.box.width < 50) {
            EXPECT_NE(face.id, id);
        }
    }
}

TrackedFace Face(int id, double x, double y, double size)
{
    return { id, cv::Rect2d(x, y, size, size) };
}

cv::Point CentreOf(const cv::Rect& r)
{
    return { r.x + r.width / 2, r.y + r.height / 2 };
}

TEST(FaceAnchorsTest, AStickerLetGoOnAFaceFollowsItAndScalesWithIt)
{
    FaceAnchors anchors;
    const std::vector<TrackedFace> faces { Face(7, 100, 100, 100) };
    // Centre (150, 90) lies above the face box: not attached.
    EXPECT_FALSE(anchors.Drop(1, cv::Rect(130, 80, 40, 20), faces));
    // Centre (150, 110), inside, near the top: a hat.
    EXPECT_TRUE(anchors.Drop(2, cv::Rect(120, 100, 60, 20), faces));
    EXPECT_FALSE(anchors.attached(1));
    EXPECT_TRUE(anchors.attached(2));

    // The face moves right by 50 and doubles in size.
    const std::vector<FaceAnchors::Placement> placed = anchors.Follow({ Face(7, 150, 100, 200) });
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].sticker, 2u);
    EXPECT_EQ(placed[0].rect, cv::Rect(190, 100, 120, 40)); // centre (250, 120), twice the size
}

TEST(FaceAnchorsTest, ALostFaceLeavesTheStickerAndAReturningFaceTakesItAgain)
{
    FaceAnchors anchors;
    ASSERT_TRUE(anchors.Drop(1, cv::Rect(140, 140, 20, 20), { Face(3, 100, 100, 100) }));
    ASSERT_EQ(anchors.Follow({ Face(3, 110, 100, 100) }).size(), 1u);
    // Gone, or only another face far away: nothing moves.
    EXPECT_TRUE(anchors.Follow({}).empty());
    EXPECT_TRUE(anchors.Follow({ Face(4, 400, 300, 100) }).empty());
    // A new face over the place where face 3 was last seen takes the sticker.
    std::vector<FaceAnchors::Placement> placed = anchors.Follow({ Face(4, 400, 300, 100), Face(5, 120, 110, 100) });
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(CentreOf(placed[0].rect), cv::Point(170, 160));
    // From then on it is face 5's, wherever face 5 goes.
    placed = anchors.Follow({ Face(5, 300, 110, 100) });
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(CentreOf(placed[0].rect), cv::Point(350, 160));
}

TEST(FaceAnchorsTest, WhereFacesOverlapTheNearestCentreWinsAndLettingGoOffAFaceDetaches)
{
    FaceAnchors anchors;
    const std::vector<TrackedFace> faces { Face(1, 0, 0, 100), Face(2, 60, 0, 100) };
    ASSERT_TRUE(anchors.Drop(9, cv::Rect(85, 40, 10, 10), faces)); // centre (90, 45): nearer face 2
    std::vector<FaceAnchors::Placement> placed = anchors.Follow({ Face(1, 0, 0, 100), Face(2, 60, 200, 100) });
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(CentreOf(placed[0].rect), cv::Point(90, 245));
    EXPECT_FALSE(anchors.Drop(9, cv::Rect(500, 500, 10, 10), faces));
    EXPECT_TRUE(anchors.Follow(faces).empty());
}

} // namespace
