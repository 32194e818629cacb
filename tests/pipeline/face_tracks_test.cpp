#include "pipeline/faces/FaceTracks.h"

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

} // namespace
