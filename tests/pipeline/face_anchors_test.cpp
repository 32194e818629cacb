#include "pipeline/faces/FaceAnchors.h"

#include <gtest/gtest.h>

namespace {

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
    // Centre (150, 30) lies well above the head: not attached; nor beside it at (70, 150).
    EXPECT_FALSE(anchors.Drop(1, cv::Rect(130, 20, 40, 20), faces));
    EXPECT_FALSE(anchors.Drop(3, cv::Rect(60, 140, 20, 20), faces));
    // Centre (150, 60), above the box on the hair: a hat.
    EXPECT_TRUE(anchors.Drop(2, cv::Rect(120, 50, 60, 20), faces));
    EXPECT_FALSE(anchors.attached(1));
    EXPECT_FALSE(anchors.attached(3));
    EXPECT_TRUE(anchors.attached(2));

    // The face moves right by 50 and doubles in size.
    const std::vector<FaceAnchors::Placement> placed = anchors.Follow({ Face(7, 150, 100, 200) });
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].sticker, 2u);
    EXPECT_EQ(placed[0].rect, cv::Rect(190, 0, 120, 40)); // centre (250, 20), twice the size
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
