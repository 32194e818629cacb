#include "pipeline/capture/CameraList.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Device nodes as a test describes them; a node without a report does not answer.
class FakeDevices : public VideoDevices {
public:
    explicit FakeDevices(std::map<std::string, VideoDeviceReport> nodes) : nodes_(std::move(nodes)) {}
    std::vector<std::string> Paths() override
    {
        std::vector<std::string> paths { "/dev/video7" }; // listed, but it does not answer
        for (const auto& [path, report] : nodes_)
            paths.push_back(path);
        return paths;
    }
    bool Query(const std::string& path, VideoDeviceReport& report) override
    {
        const auto it = nodes_.find(path);
        if (it == nodes_.end())
            return false;
        report = it->second;
        return true;
    }

private:
    std::map<std::string, VideoDeviceReport> nodes_;
};

VideoDeviceReport::FrameSizes Discrete(int w, int h)
{
    VideoDeviceReport::FrameSizes s;
    s.size = { w, h };
    return s;
}

VideoDeviceReport Node(const std::string& path, const std::string& card, const std::string& bus, bool capture,
    std::vector<VideoDeviceReport::FrameSizes> sizes = {})
{
    return { path, card, bus, capture, std::move(sizes) };
}

std::vector<CameraInfo> List(std::map<std::string, VideoDeviceReport> nodes)
{
    DeviceCameraList list(std::make_unique<FakeDevices>(std::move(nodes)));
    return list.Cameras();
}

TEST(CameraListTest, OnlyCapturingNodesInTheOrderOfTheirNumbers)
{
    // A webcam shows up as a picture node and a metadata node; a second camera sits at video10.
    const auto cameras = List({
        { "/dev/video0", Node("/dev/video0", "HD Webcam", "usb-0000:00:14.0-1", true, { Discrete(640, 480) }) },
        { "/dev/video1", Node("/dev/video1", "HD Webcam", "usb-0000:00:14.0-1", false) },
        { "/dev/video10", Node("/dev/video10", "USB Camera", "usb-0000:00:14.0-3", true, { Discrete(320, 240) }) },
        { "/dev/video2", Node("/dev/video2", "", "", true, { Discrete(800, 600) }) },
    });
    ASSERT_EQ(cameras.size(), 3u);
    EXPECT_EQ(cameras[0].name, "HD Webcam");
    EXPECT_EQ(cameras[0].source, "0");
    EXPECT_EQ(cameras[1].name, "/dev/video2"); // a node without a name goes by its path
    EXPECT_EQ(cameras[1].source, "2");
    EXPECT_EQ(cameras[2].name, "USB Camera");
    EXPECT_EQ(cameras[2].source, "10");
    // The identifier follows the camera's place on the bus, not the node number it got today.
    EXPECT_EQ(cameras[0].id, "HD Webcam @ usb-0000:00:14.0-1");
    EXPECT_NE(cameras[0].id, cameras[2].id);
}

TEST(CameraListTest, SizesOverEveryFormatWithoutRepeatsSmallestFirst)
{
    const auto cameras = List({ { "/dev/video0",
        Node("/dev/video0", "Cam", "usb-1", true,
            { Discrete(1280, 720), Discrete(640, 480), Discrete(320, 240), // one format
                Discrete(640, 480), Discrete(1920, 1080), Discrete(0, 0) }) } }); // another
    ASSERT_EQ(cameras.size(), 1u);
    const std::vector<cv::Size> expected { { 320, 240 }, { 640, 480 }, { 1280, 720 }, { 1920, 1080 } };
    EXPECT_EQ(cameras[0].sizes, expected);
}

TEST(CameraListTest, StepwiseRangesOfferTheCommonSizesInsideThemAndTheirLargest)
{
    VideoDeviceReport::FrameSizes range;
    range.stepwise = true;
    range.minimum = { 320, 240 };
    range.maximum = { 1000, 700 };
    const auto cameras = List({ { "/dev/video3", Node("/dev/video3", "Virtual", "platform:v4l2loopback-000", true, { range }) } });
    ASSERT_EQ(cameras.size(), 1u);
    const std::vector<cv::Size> expected { { 320, 240 }, { 352, 288 }, { 640, 480 }, { 800, 600 }, { 1000, 700 } };
    EXPECT_EQ(cameras[0].sizes, expected);
}

TEST(CameraListTest, TwoCapturingNodesAtOnePlaceKeepDistinctIdentifiers)
{
    const auto cameras = List({
        { "/dev/video0", Node("/dev/video0", "Dual", "usb-5", true, { Discrete(640, 480) }) },
        { "/dev/video2", Node("/dev/video2", "Dual", "usb-5", true, { Discrete(640, 480) }) },
    });
    ASSERT_EQ(cameras.size(), 2u);
    EXPECT_NE(cameras[0].id, cameras[1].id);
}

TEST(CameraListTest, NoDevicesNoCameras)
{
    EXPECT_TRUE(List({}).empty());
}

} // namespace
