#include "pipeline/FunPreviewShow.h"
#include "pipeline/faces/FaceForEffects.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

#include <set>

namespace {

cv::Point Centre(const cv::Rect& r)
{
    return { r.x + r.width / 2, r.y + r.height / 2 };
}

// The grid as the view uses it: shown from the first page, turned round both ways, and a click
// picks only from the page that is shown.
TEST(FunPreviewShowTest, PagesTurnRoundAndClicksPickFromThePageShown)
{
    FunPreviewShow show;
    const cv::Mat picture = RandomFrame(160, 120, 5);
    cv::Mat grid;
    EXPECT_FALSE(show.Render(picture, { 300, 240 }, std::nullopt, 0, grid)); // hidden: nothing rendered
    EXPECT_TRUE(grid.empty());
    EXPECT_FALSE(show.EffectAt({ 150, 120 }));

    show.Show(true);
    ASSERT_GE(FunPreviewPageCount(), 2);
    ASSERT_TRUE(show.Render(picture, { 300, 240 }, std::nullopt, 0, grid));
    EXPECT_EQ(grid.size(), cv::Size(300, 240));
    const std::vector<FunPreviewTile> tiles = show.tiles();
    ASSERT_EQ(tiles.size(), 9u);
    std::set<FunEffect> picked;
    for (const FunPreviewTile& tile : tiles) {
        const std::optional<FunEffect> effect = show.EffectAt(Centre(tile.rect));
        ASSERT_TRUE(effect);
        EXPECT_EQ(*effect, tile.effect);
        picked.insert(*effect);
    }
    EXPECT_EQ(picked.count(kFunNone), 1u);
    const std::span<const FunEffect> first = FunPreviewPage(0);
    std::set<FunEffect> expected(first.begin(), first.end());
    expected.insert(kFunNone);
    EXPECT_EQ(picked, expected);
    // The middle tile is the picture as it is.
    EXPECT_EQ(show.EffectAt({ 150, 120 }), kFunNone);
    EXPECT_FALSE(show.EffectAt({ 400, 120 })); // outside the grid

    show.TurnPage(1);
    EXPECT_EQ(show.page(), 1);
    // Until the next page is rendered a click picks nothing rather than the last page's effect.
    EXPECT_FALSE(show.EffectAt(Centre(tiles[0].rect)));
    ASSERT_TRUE(show.Render(picture, { 300, 240 }, std::nullopt, 1, grid));
    EXPECT_EQ(show.EffectAt(Centre(tiles[0].rect)), FunPreviewPage(1)[0]);

    show.TurnPage(-1);
    show.TurnPage(-1);
    EXPECT_EQ(show.page(), FunPreviewPageCount() - 1); // back past the first: the last
    show.TurnPage(1);
    EXPECT_EQ(show.page(), 0);

    show.TurnPage(1);
    show.Show(false);
    EXPECT_FALSE(show.EffectAt({ 150, 120 }));
    show.Show(true);
    EXPECT_EQ(show.page(), 0); // a new showing starts at the first page
}

TEST(FaceForFunEffectTest, TheLargestFaceInPicturePixelsOrNone)
{
    EXPECT_FALSE(FaceForFunEffect({}));
    EXPECT_FALSE(FaceForFunEffect({ { 1, cv::Rect2d(10, 10, 0, 0) } }));
    const std::optional<FunFace> face
        = FaceForFunEffect({ { 1, cv::Rect2d(10, 10, 20, 20) }, { 2, cv::Rect2d(100, 40, 60, 80) },
            { 3, cv::Rect2d(0, 0, 50, 50) } });
    ASSERT_TRUE(face);
    EXPECT_FLOAT_EQ(face->centre.x, 130.f);
    EXPECT_FLOAT_EQ(face->centre.y, 80.f);
    EXPECT_FLOAT_EQ(face->width, 60.f);
    EXPECT_TRUE(FunEffectFollowsFace(kFunBigHead));
    EXPECT_TRUE(FunEffectFollowsFace(kFunThinFace));
    EXPECT_FALSE(FunEffectFollowsFace(kFunBulge));
}

} // namespace
