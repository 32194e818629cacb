#include "pipeline/faces/FaceView.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/ZoomCut.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <optional>
#include <string>

namespace {

// The box of the bright pixels of a picture.
cv::Rect BrightBox(const cv::Mat& picture)
{
    cv::Mat grey;
    cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
    return cv::boundingRect(grey > 127);
}

// A bright box on the camera frame goes where the picture's own stages (zoom cut, flip) put its
// pixels, in every flip, with and without a zoom, and for a camera of another size than the picture.
TEST(FaceView, BoxesLandWhereTheStagesPutTheirPixels)
{
    struct Case {
        cv::Size camera;
        std::optional<cv::Rect> zoom;
    };
    const Case cases[] = {
        { { 640, 480 }, std::nullopt },
        { { 640, 480 }, cv::Rect(200, 100, 320, 240) },   // twice
        { { 640, 480 }, cv::Rect(150, 90, 160, 200) },    // unequal in x and y
        { { 320, 240 }, std::nullopt },                   // a smaller camera, stretched
        { { 640, 480 }, cv::Rect(600, 400, 200, 200) },   // reaching past the frame: clipped
        { { 640, 480 }, cv::Rect(700, 500, 50, 50) },     // missing the frame: no zoom
    };
    const cv::Size picture(640, 480);
    for (const Case& c : cases) {
        // A box inside what the picture shows.
        const cv::Rect whole(cv::Point(), c.camera);
        const cv::Rect shown = c.zoom && !(*c.zoom & whole).empty() ? (*c.zoom & whole) : whole;
        const cv::Rect box(shown.x + shown.width * 5 / 8, shown.y + shown.height * 7 / 16, std::max(4, shown.width / 8),
            std::max(4, shown.height / 6));
        cv::Mat camera(c.camera, CV_8UC3, cv::Scalar::all(0));
        camera(box).setTo(cv::Scalar::all(255));
        for (int flip = kFlipMirror; flip <= kFlipNone; ++flip) {
            cv::Mat work(picture, CV_8UC3);
            TakeWorkFrame(camera, work, c.zoom);
            ApplyFlip(work, flip);
            const FaceView view(c.camera, picture, c.zoom, flip);
            const cv::Rect2d mapped = view.ToPicture(box);
            const cv::Rect seen = BrightBox(work);
            const std::string where = "camera " + std::to_string(c.camera.width) + " flip " + std::to_string(flip)
                + (c.zoom ? " zoomed" : "");
            ASSERT_FALSE(seen.empty()) << where;
            // Within the one pixel that linear scaling blurs each edge by.
            EXPECT_NEAR(mapped.x, seen.x, 1.0) << where;
            EXPECT_NEAR(mapped.y, seen.y, 1.0) << where;
            EXPECT_NEAR(mapped.x + mapped.width, seen.x + seen.width, 1.0) << where;
            EXPECT_NEAR(mapped.y + mapped.height, seen.y + seen.height, 1.0) << where;

            const cv::Rect2d back = view.ToCamera(mapped);
            EXPECT_NEAR(back.x, box.x, 1e-9) << where;
            EXPECT_NEAR(back.y, box.y, 1e-9) << where;
            EXPECT_NEAR(back.width, box.width, 1e-9) << where;
            EXPECT_NEAR(back.height, box.height, 1e-9) << where;
        }
    }
    // The default view changes nothing.
    const cv::Rect2d any(3.5, 7, 20, 10);
    EXPECT_EQ(FaceView().ToPicture(any), any);
    EXPECT_EQ(FaceView().ToCamera(any), any);
}

} // namespace
