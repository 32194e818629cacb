#include "BackdropMeasures.h"

#include "pipeline/capture/BoothSceneSource.h"
#include "pipeline/stages/BackgroundModel.h"
#include "pipeline/stages/ColourKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Figures {
    double worstIoU = 1, meanIoU = 0, worstEdge = 0, meanEdge = 0, worstFlicker = 0;
    int frames = 0;
};

} // namespace

TEST(BackdropQuality, LearntRoomFollowsThePerson)
{
    BackgroundModel model;
    for (int n = 0; n < 30; ++n)
        model.Learn(BoothSceneSource::Render(BoothScene::Room, n));
    ASSERT_TRUE(model.ready());
    Figures steady, exposure;
    cv::Mat alpha, previousAlpha, truth, previousTruth;
    double emptyWorst = 0;
    for (int n = 30; n < 345; ++n) { // through the fall to the lowest exposure
        const cv::Mat frame = BoothSceneSource::Render(BoothScene::Room, n, { 640, 480 }, &truth);
        model.Segment(frame, alpha);
        if (n < BoothSceneSource::kPersonEnters)
            emptyWorst = std::max(emptyWorst, cv::countNonZero(alpha >= 128) / double(alpha.total()));
        Figures* f = n >= 130 && n < 240 ? &steady : n >= 240 ? &exposure : nullptr;
        if (f) {
            const double iou = PersonIoU(alpha, truth), edge = OutlineDistance(alpha, truth);
            f->worstIoU = std::min(f->worstIoU, iou);
            f->meanIoU += iou;
            f->worstEdge = std::max(f->worstEdge, edge);
            f->meanEdge += edge;
            f->worstFlicker = std::max(f->worstFlicker, SideChanges(alpha, previousAlpha, truth, previousTruth));
            ++f->frames;
        }
        previousAlpha = alpha.clone();
        previousTruth = truth.clone();
    }
    for (auto [name, f] : { std::pair { "steady", &steady }, std::pair { "exposure", &exposure } })
        std::printf("%s: IoU worst %.4f mean %.4f, edge worst %.2f mean %.2f px, flicker worst %.3f %%\n", name,
            f->worstIoU, f->meanIoU / f->frames, f->worstEdge, f->meanEdge / f->frames, 100 * f->worstFlicker);
    std::printf("empty room: worst share taken for a person %.4f %%\n", 100 * emptyWorst);
    EXPECT_GE(steady.worstIoU, 0.95);
    EXPECT_GE(exposure.worstIoU, 0.92);
    EXPECT_LE(steady.meanEdge / steady.frames, 2.0);
    EXPECT_LT(steady.worstFlicker, 0.005);
    EXPECT_LT(emptyWorst, 0.001);
    EXPECT_FALSE(model.sceneChanged());
}

TEST(BackdropQuality, GreenClothKeysThePerson)
{
    cv::Mat alpha, truth;
    double worst = 1;
    for (int n = 120; n < 300; n += 7) {
        const cv::Mat frame = BoothSceneSource::Render(BoothScene::GreenCloth, n, { 640, 480 }, &truth);
        ColourKeyAlpha(frame, BoothSceneSource::ClothColour(), 50, alpha);
        worst = std::min(worst, PersonIoU(alpha, truth));
        ColourKeyAlpha(frame, cv::Scalar(0, 255, 0), 50, alpha);
        worst = std::min(worst, PersonIoU(alpha, truth));
    }
    std::printf("green: IoU worst %.4f\n", worst);
    EXPECT_GE(worst, 0.97);
}
