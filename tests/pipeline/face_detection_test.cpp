#include "pipeline/faces/FaceDetector.h"
#include "pipeline/faces/FaceTracker.h"
#include "pipeline/capture/TestSceneFace.h"
#include "pipeline/capture/TestSceneSource.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

std::string FacePhotoPath()
{
    return PARVEL_TEST_DATA_DIR "/../../resources/system/" + std::string(kTestSceneFaceFile);
}

// The test scene at any size, with the moving face at `seconds`.
cv::Mat SceneWithFace(cv::Size size, double seconds, const cv::Mat& photo)
{
    cv::Mat frame = TestSceneSource::Render(cvRound(seconds * 30));
    if (frame.size() != size)
        cv::resize(frame, frame, size, 0, 0, cv::INTER_LINEAR);
    DrawMovingFace(frame, seconds, photo);
    return frame;
}

bool Finds(const std::vector<cv::Rect>& found, const cv::Rect2d& face)
{
    const cv::Point2d centre(face.x + face.width / 2, face.y + face.height / 2);
    for (const cv::Rect& box : found) {
        const double ratio = box.width / face.width;
        if (cv::Rect2d(box).contains(centre) && ratio > 0.7 && ratio < 1.4)
            return true;
    }
    return false;
}

class FaceDetectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        photo_ = LoadTestSceneFace(FacePhotoPath());
        ASSERT_FALSE(photo_.empty()) << FacePhotoPath();
        ASSERT_EQ(photo_.type(), CV_8UC4);
        ASSERT_FALSE(FaceDetector::FindCascade().empty()) << "opencv-data is not installed";
    }
    cv::Mat photo_;
};

TEST_F(FaceDetectionTest, TheMovingFaceIsFoundInNineFramesOutOfTenAtBothSizes)
{
    FaceDetector detector(FaceDetector::FindCascade());
    ASSERT_TRUE(detector.loaded()) << detector.cascadePath();
    for (const cv::Size size : { cv::Size(640, 480), cv::Size(1920, 1080) }) {
        int frames = 0;
        int found = 0;
        int falseFinds = 0;
        // One whole lap of the path, five frames a second.
        for (double t = 0; t < 12.6; t += 0.2, ++frames) {
            const cv::Mat frame = SceneWithFace(size, t, photo_);
            const std::vector<cv::Rect> boxes = detector.Detect(frame);
            const cv::Rect2d face = MovingFaceBox(size, t, photo_.size());
            found += Finds(boxes, face) ? 1 : 0;
            for (const cv::Rect& box : boxes)
                falseFinds += cv::Rect2d(box).contains({ face.x + face.width / 2, face.y + face.height / 2 }) ? 0 : 1;
        }
        EXPECT_GE(found * 10, frames * 9) << size << ": " << found << " of " << frames;
        EXPECT_LE(falseFinds * 10, frames) << size;
    }
}

TEST(FaceDetectorTest, WithoutACascadeNothingIsFoundAndADamagedOneDoesNotCrash)
{
    const cv::Mat frame(240, 320, CV_8UC3, cv::Scalar(90, 90, 90));
    FaceDetector none("");
    EXPECT_FALSE(none.loaded());
    EXPECT_TRUE(none.Detect(frame).empty());

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "parvel-face-cascade-test";
    std::filesystem::create_directories(dir);
    const std::filesystem::path damaged = dir / "haarcascade_frontalface_alt2.xml";
    std::ofstream(damaged) << "<?xml version=\"1.0\"?><opencv_storage><cascade>broken";
    // A copy beside the program is preferred to the system's...
    EXPECT_EQ(FaceDetector::FindCascade({ dir.string() }), damaged.string());
    // ...and a damaged one simply finds nothing.
    FaceDetector broken(damaged.string());
    EXPECT_FALSE(broken.loaded());
    EXPECT_TRUE(broken.Detect(frame).empty());
    std::filesystem::remove_all(dir);
}

// The thread: offered pictures are detected without the offering side waiting, and the face
// appears among the tracked faces.
TEST_F(FaceDetectionTest, OfferedPicturesAreDetectedOnTheTrackersOwnThread)
{
    FaceTracker tracker;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    // A still face, so that the result does not depend on how fast the runs are.
    const cv::Mat picture = SceneWithFace({ 640, 480 }, 3.0, photo_);
    double t = FaceTracker::Now();
    std::vector<TrackedFace> faces;
    while (faces.empty() && std::chrono::steady_clock::now() < deadline) {
        tracker.Offer(picture, t);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        t = FaceTracker::Now();
        faces = tracker.Faces(t);
    }
    ASSERT_EQ(faces.size(), 1u);
    EXPECT_TRUE(tracker.detectorLoaded());
    EXPECT_GE(tracker.runs(), 2u);
    const cv::Rect2d face = MovingFaceBox({ 640, 480 }, 3.0, photo_.size());
    EXPECT_TRUE(faces[0].box.contains({ face.x + face.width / 2, face.y + face.height / 2 }));
    tracker.Reset();
    EXPECT_TRUE(tracker.Faces(t).empty());

    // Whether faces can be found at all is known before the first run.
    EXPECT_TRUE(FaceTracker().Prepare());
    EXPECT_FALSE(FaceTracker({}, false).Prepare());

    // The counts behind --stats: one face per run on the face, none on an empty picture.
    FaceTracker counting;
    counting.DetectNow(picture, 0.0);
    counting.DetectNow(picture, 0.1);
    EXPECT_EQ(counting.runs(), 2u);
    EXPECT_EQ(counting.facesFound(), 2u);
    counting.DetectNow(cv::Mat(480, 640, CV_8UC3, cv::Scalar(90, 120, 150)), 0.2);
    EXPECT_EQ(counting.runs(), 3u);
    EXPECT_EQ(counting.facesFound(), 2u);
}

} // namespace
