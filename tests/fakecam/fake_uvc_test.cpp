// The fake webcam, driven through raw V4L2 ioctls and through OpenCV's V4L2 back-end. The library
// is linked into this program, so every open/ioctl/poll here reaches it first.

#include "FakeUvcJpeg.h"
#include "FakeUvcPattern.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

extern "C" void fakeuvc_configure(const char* devices, const char* controlFile);

namespace {

namespace fs = std::filesystem;

constexpr const char* kNode = "/dev/video40";
constexpr std::int64_t kThirtieth = 33'333'333; // ns

// 0, or the errno the request failed with.
int Io(int fd, unsigned long request, void* arg)
{
    return ioctl(fd, request, arg) == 0 ? 0 : errno;
}

std::int64_t Nanoseconds(const timeval& t) { return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_usec * 1000; }

std::int64_t MonotonicNow()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

int Fourcc(const char* s) { return cv::VideoWriter::fourcc(s[0], s[1], s[2], s[3]); }

v4l2_format PixFormat(std::uint32_t fourcc = 0, std::uint32_t width = 0, std::uint32_t height = 0)
{
    v4l2_format f {};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    f.fmt.pix.pixelformat = fourcc;
    f.fmt.pix.width = width;
    f.fmt.pix.height = height;
    return f;
}

v4l2_requestbuffers Buffers(std::uint32_t count, std::uint32_t memory = V4L2_MEMORY_MMAP)
{
    v4l2_requestbuffers r {};
    r.count = count;
    r.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    r.memory = memory;
    return r;
}

v4l2_buffer Buffer(std::uint32_t index = 0)
{
    v4l2_buffer b {};
    b.index = index;
    b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    b.memory = V4L2_MEMORY_MMAP;
    return b;
}

v4l2_streamparm Parm(std::uint32_t fps = 0)
{
    v4l2_streamparm p {};
    p.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    p.parm.capture.timeperframe.numerator = 1;
    p.parm.capture.timeperframe.denominator = fps;
    return p;
}

v4l2_ext_controls ExtControls(std::uint32_t which, std::uint32_t count, v4l2_ext_control* controls)
{
    v4l2_ext_controls c {};
    c.which = which;
    c.count = count;
    c.controls = controls;
    return c;
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) { }
    Fd(Fd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) { }
    Fd& operator=(Fd&& o) noexcept
    {
        std::swap(fd_, o.fd_);
        return *this;
    }
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// A raw capture on a handle: format, mapped buffers, all queued, streaming.
class RawStream {
public:
    RawStream(int fd, std::uint32_t fourcc, std::uint32_t width, std::uint32_t height, std::uint32_t count = 4)
        : fd_(fd)
    {
        v4l2_format f = PixFormat(fourcc, width, height);
        EXPECT_EQ(Io(fd, VIDIOC_S_FMT, &f), 0);
        v4l2_requestbuffers r = Buffers(count);
        EXPECT_EQ(Io(fd, VIDIOC_REQBUFS, &r), 0);
        for (std::uint32_t i = 0; i < r.count; ++i) {
            v4l2_buffer b = Buffer(i);
            EXPECT_EQ(Io(fd, VIDIOC_QUERYBUF, &b), 0);
            void* p = mmap(nullptr, b.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, b.m.offset);
            EXPECT_NE(p, MAP_FAILED);
            maps_.emplace_back(static_cast<std::uint8_t*>(p), b.length);
        }
    }

    ~RawStream()
    {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (fd_ >= 0)
            ioctl(fd_, VIDIOC_STREAMOFF, &type);
        for (auto& [p, length] : maps_)
            munmap(p, length);
        v4l2_requestbuffers r = Buffers(0);
        if (fd_ >= 0)
            ioctl(fd_, VIDIOC_REQBUFS, &r);
    }

    // The handle was closed under the stream: only the mappings are left to undo.
    void Orphan() { fd_ = -1; }

    void QueueAll()
    {
        for (std::uint32_t i = 0; i < maps_.size(); ++i)
            Queue(i);
    }

    void Queue(std::uint32_t index)
    {
        v4l2_buffer b = Buffer(index);
        EXPECT_EQ(Io(fd_, VIDIOC_QBUF, &b), 0);
    }

    int Start()
    {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        return Io(fd_, VIDIOC_STREAMON, &type);
    }

    // Waits with poll, as an application on a non-blocking handle does.
    v4l2_buffer Next()
    {
        pollfd p { fd_, POLLIN, 0 };
        EXPECT_EQ(poll(&p, 1, 2000), 1);
        v4l2_buffer b = Buffer();
        EXPECT_EQ(Io(fd_, VIDIOC_DQBUF, &b), 0);
        return b;
    }

    const std::uint8_t* Data(const v4l2_buffer& b) const { return maps_.at(b.index).first; }

private:
    int fd_;
    std::vector<std::pair<std::uint8_t*, std::size_t>> maps_;
};

class FakeUvcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("fakeuvc-" + std::to_string(getpid()) + "-" + info->name());
        fs::create_directories(folder_);
        control_ = folder_ / "control";
        fakeuvc_configure(kNode, control_.c_str());
    }

    void TearDown() override
    {
        // A fresh device for the next test.
        fakeuvc_configure("", nullptr);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // Replaced whole, so the fake sees a new file however quickly it follows the last one.
    void Tell(const std::string& text)
    {
        const fs::path temporary = folder_ / "control.new";
        std::ofstream(temporary) << text;
        fs::rename(temporary, control_);
    }

    static Fd Open(bool nonblocking = true)
    {
        return Fd(::open(kNode, O_RDWR | (nonblocking ? O_NONBLOCK : 0)));
    }

    static std::int32_t Get(int fd, std::uint32_t id)
    {
        v4l2_control c { id, 0 };
        EXPECT_EQ(Io(fd, VIDIOC_G_CTRL, &c), 0);
        return c.value;
    }

    static int Set(int fd, std::uint32_t id, std::int32_t& value)
    {
        v4l2_control c { id, value };
        const int error = Io(fd, VIDIOC_S_CTRL, &c);
        value = c.value;
        return error;
    }

    static std::uint32_t ControlFlags(int fd, std::uint32_t id)
    {
        v4l2_queryctrl q {};
        q.id = id;
        EXPECT_EQ(Io(fd, VIDIOC_QUERYCTRL, &q), 0);
        return q.flags;
    }

    static bool Listed(const std::string& name)
    {
        for (const auto& entry : fs::directory_iterator("/dev"))
            if (entry.path().filename() == name)
                return entry.is_character_file();
        return false;
    }

    fs::path folder_;
    fs::path control_;
};

// ---------------------------------------------------------------------------------------------

using FakeUvcFormats = FakeUvcTest;

TEST_F(FakeUvcFormats, ListsTheFormatsSizesAndIntervalsOfAUsb2Camera)
{
    const Fd fd = Open();
    ASSERT_GE(fd.get(), 0);
    using Key = std::tuple<std::string, std::uint32_t, std::uint32_t>;
    std::map<Key, std::vector<std::uint32_t>> fps;
    std::vector<std::string> descriptions;
    for (std::uint32_t f = 0;; ++f) {
        v4l2_fmtdesc d {};
        d.index = f;
        d.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Io(fd.get(), VIDIOC_ENUM_FMT, &d) != 0)
            break;
        const std::string fourcc(reinterpret_cast<const char*>(&d.pixelformat), 4);
        descriptions.push_back(fourcc + " " + reinterpret_cast<const char*>(d.description)
            + ((d.flags & V4L2_FMT_FLAG_COMPRESSED) != 0 ? " compressed" : ""));
        for (std::uint32_t s = 0;; ++s) {
            v4l2_frmsizeenum size {};
            size.index = s;
            size.pixel_format = d.pixelformat;
            if (Io(fd.get(), VIDIOC_ENUM_FRAMESIZES, &size) != 0)
                break;
            ASSERT_EQ(size.type, V4L2_FRMSIZE_TYPE_DISCRETE);
            for (std::uint32_t i = 0;; ++i) {
                v4l2_frmivalenum interval {};
                interval.index = i;
                interval.pixel_format = d.pixelformat;
                interval.width = size.discrete.width;
                interval.height = size.discrete.height;
                if (Io(fd.get(), VIDIOC_ENUM_FRAMEINTERVALS, &interval) != 0)
                    break;
                ASSERT_EQ(interval.type, V4L2_FRMIVAL_TYPE_DISCRETE);
                ASSERT_EQ(interval.discrete.numerator, 1U);
                fps[{ fourcc, size.discrete.width, size.discrete.height }].push_back(interval.discrete.denominator);
            }
        }
    }
    EXPECT_EQ(descriptions, (std::vector<std::string> { "YUYV YUYV 4:2:2", "MJPG Motion-JPEG compressed" }));
    const std::map<Key, std::vector<std::uint32_t>> expected {
        { { "YUYV", 640, 480 }, { 30, 15 } },
        { { "YUYV", 1280, 720 }, { 10, 5 } },
        { { "YUYV", 1920, 1080 }, { 5 } },
        { { "MJPG", 640, 480 }, { 30, 15 } },
        { { "MJPG", 1280, 720 }, { 30, 15 } },
        { { "MJPG", 1920, 1080 }, { 30, 15 } },
    };
    EXPECT_EQ(fps, expected);

    v4l2_frmivalenum unknownSize {};
    unknownSize.pixel_format = V4L2_PIX_FMT_YUYV;
    unknownSize.width = 800;
    unknownSize.height = 600;
    EXPECT_EQ(Io(fd.get(), VIDIOC_ENUM_FRAMEINTERVALS, &unknownSize), EINVAL);
}

TEST_F(FakeUvcFormats, SnapsRequestsToWhatTheCameraHas)
{
    const Fd fd = Open();
    const auto request = [&](unsigned long which, std::uint32_t fourcc, std::uint32_t w, std::uint32_t h) {
        v4l2_format f = PixFormat(fourcc, w, h);
        EXPECT_EQ(Io(fd.get(), which, &f), 0);
        return f.fmt.pix;
    };
    const auto interval = [&](std::uint32_t wantedFps) {
        v4l2_streamparm p = Parm(wantedFps);
        if (wantedFps != 0) {
            EXPECT_EQ(Io(fd.get(), VIDIOC_S_PARM, &p), 0);
        } else {
            EXPECT_EQ(Io(fd.get(), VIDIOC_G_PARM, &p), 0);
        }
        EXPECT_EQ(p.parm.capture.capability, std::uint32_t(V4L2_CAP_TIMEPERFRAME));
        EXPECT_EQ(p.parm.capture.timeperframe.numerator, 1U);
        return p.parm.capture.timeperframe.denominator;
    };

    v4l2_pix_format pix = request(VIDIOC_TRY_FMT, V4L2_PIX_FMT_RGB24, 1200, 700);
    EXPECT_EQ(pix.pixelformat, std::uint32_t(V4L2_PIX_FMT_YUYV));
    EXPECT_EQ(pix.width, 1280U);
    EXPECT_EQ(pix.height, 720U);
    EXPECT_EQ(pix.bytesperline, 2560U);
    EXPECT_EQ(pix.sizeimage, 1280U * 720 * 2);
    EXPECT_EQ(pix.field, std::uint32_t(V4L2_FIELD_NONE));
    v4l2_format current = PixFormat();
    ASSERT_EQ(Io(fd.get(), VIDIOC_G_FMT, &current), 0);
    EXPECT_EQ(current.fmt.pix.width, 640U) << "TRY_FMT changed the format";

    pix = request(VIDIOC_S_FMT, V4L2_PIX_FMT_MJPEG, 1000, 600);
    EXPECT_EQ(pix.width, 640U);
    EXPECT_EQ(pix.bytesperline, 0U);
    EXPECT_EQ(interval(15), 15U);
    request(VIDIOC_S_FMT, V4L2_PIX_FMT_MJPEG, 640, 480);
    EXPECT_EQ(interval(0), 30U) << "S_FMT goes back to the fastest rate";

    request(VIDIOC_S_FMT, V4L2_PIX_FMT_YUYV, 1280, 720);
    EXPECT_EQ(interval(0), 10U);
    EXPECT_EQ(interval(30), 10U);
    EXPECT_EQ(interval(6), 5U);
    request(VIDIOC_S_FMT, V4L2_PIX_FMT_YUYV, 4000, 3000);
    EXPECT_EQ(interval(60), 5U);
}

TEST_F(FakeUvcFormats, OnlyOneHandleStreams)
{
    Fd a = Open();
    const Fd b = Open();
    RawStream stream(a.get(), V4L2_PIX_FMT_MJPEG, 640, 480);
    stream.QueueAll();
    ASSERT_EQ(stream.Start(), 0);

    v4l2_format f = PixFormat(V4L2_PIX_FMT_MJPEG, 1280, 720);
    EXPECT_EQ(Io(a.get(), VIDIOC_S_FMT, &f), EBUSY);
    EXPECT_EQ(Io(b.get(), VIDIOC_S_FMT, &f), EBUSY);
    v4l2_requestbuffers r = Buffers(4);
    EXPECT_EQ(Io(b.get(), VIDIOC_REQBUFS, &r), EBUSY);
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    EXPECT_EQ(Io(b.get(), VIDIOC_STREAMON, &type), EBUSY);
    v4l2_streamparm p = Parm(15);
    EXPECT_EQ(Io(a.get(), VIDIOC_S_PARM, &p), EBUSY);
    // Reading the mode and the controls stays open to everyone.
    EXPECT_EQ(Io(b.get(), VIDIOC_G_FMT, &f), 0);
    EXPECT_EQ(f.fmt.pix.pixelformat, std::uint32_t(V4L2_PIX_FMT_MJPEG));
    std::int32_t brightness = 5;
    EXPECT_EQ(Set(b.get(), V4L2_CID_BRIGHTNESS, brightness), 0);
    stream.Next();

    a = Fd();
    stream.Orphan();
    r = Buffers(4);
    EXPECT_EQ(Io(b.get(), VIDIOC_REQBUFS, &r), 0) << "closing the streaming handle frees the device";
}

TEST_F(FakeUvcFormats, AnswersLikeUvcvideo)
{
    const Fd fd = Open();
    v4l2_capability caps {};
    ASSERT_EQ(Io(fd.get(), VIDIOC_QUERYCAP, &caps), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(caps.driver), "uvcvideo");
    EXPECT_STREQ(reinterpret_cast<const char*>(caps.card), "Fake UVC Camera");
    EXPECT_STREQ(reinterpret_cast<const char*>(caps.bus_info), "usb-0000:00:14.0-1");
    EXPECT_EQ(caps.capabilities, std::uint32_t(V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS));
    EXPECT_EQ(caps.device_caps, std::uint32_t(V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING));

    v4l2_input input {};
    EXPECT_EQ(Io(fd.get(), VIDIOC_ENUMINPUT, &input), 0);
    EXPECT_EQ(input.type, std::uint32_t(V4L2_INPUT_TYPE_CAMERA));
    input.index = 1;
    EXPECT_EQ(Io(fd.get(), VIDIOC_ENUMINPUT, &input), EINVAL);
    v4l2_std_id std = 0;
    EXPECT_EQ(Io(fd.get(), VIDIOC_G_STD, &std), ENOTTY);
    v4l2_crop crop {};
    crop.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    EXPECT_EQ(Io(fd.get(), VIDIOC_S_CROP, &crop), ENOTTY);
    int anything = 0;
    EXPECT_EQ(Io(fd.get(), TCGETS, &anything), ENOTTY);

    v4l2_requestbuffers r = Buffers(4, V4L2_MEMORY_USERPTR);
    EXPECT_EQ(Io(fd.get(), VIDIOC_REQBUFS, &r), EINVAL);
    r = Buffers(100);
    EXPECT_EQ(Io(fd.get(), VIDIOC_REQBUFS, &r), 0);
    EXPECT_EQ(r.count, 32U);
    r.count = 1;
    EXPECT_EQ(Io(fd.get(), VIDIOC_REQBUFS, &r), 0);
    EXPECT_EQ(r.count, 2U);
    v4l2_buffer beyond = Buffer(2);
    EXPECT_EQ(Io(fd.get(), VIDIOC_QUERYBUF, &beyond), EINVAL);
    EXPECT_EQ(Io(fd.get(), VIDIOC_QBUF, &beyond), EINVAL);
    EXPECT_EQ(ioctl(fd.get(), VIDIOC_QUERYCAP, nullptr), -1);
    EXPECT_EQ(errno, EFAULT);
    // Requests the kernel answers for any descriptor reach it.
    int on = 1;
    const Fd blocking = Open(false);
    EXPECT_EQ(Io(blocking.get(), FIONBIO, &on), 0);
    EXPECT_NE(fcntl(blocking.get(), F_GETFL) & O_NONBLOCK, 0);
}

TEST_F(FakeUvcFormats, DuplicatedDescriptorsShareTheHandle)
{
    Fd original = Open();
    const Fd copy(dup(original.get()));
    ASSERT_GE(copy.get(), 0);
    RawStream stream(copy.get(), V4L2_PIX_FMT_YUYV, 640, 480, 2);
    original = Fd();
    stream.QueueAll();
    ASSERT_EQ(stream.Start(), 0);
    EXPECT_EQ(stream.Next().sequence, 0U);
    struct stat st {};
    ASSERT_EQ(fstat(copy.get(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// ---------------------------------------------------------------------------------------------

using FakeUvcStream = FakeUvcTest;

TEST_F(FakeUvcStream, FramesCarryTheirNumberTimestampAndSequence)
{
    const Fd fd = Open(false);
    RawStream stream(fd.get(), V4L2_PIX_FMT_YUYV, 640, 480);
    stream.QueueAll();
    ASSERT_EQ(stream.Start(), 0);
    std::int64_t first = 0;
    for (std::uint32_t k = 0; k < 5; ++k) {
        v4l2_buffer b = Buffer();
        ASSERT_EQ(Io(fd.get(), VIDIOC_DQBUF, &b), 0) << "a blocking handle waits for the frame";
        EXPECT_EQ(b.sequence, k);
        EXPECT_EQ(b.bytesused, 640U * 480 * 2);
        EXPECT_EQ(b.flags & V4L2_BUF_FLAG_TIMESTAMP_MASK, std::uint32_t(V4L2_BUF_FLAG_TIMESTAMP_MONOTONIC));
        EXPECT_LE(Nanoseconds(b.timestamp), MonotonicNow()) << "a frame is not delivered before its time";
        if (k == 0)
            first = Nanoseconds(b.timestamp);
        EXPECT_NEAR(double(Nanoseconds(b.timestamp) - first), double(k * kThirtieth), 1000.0);

        cv::Mat bgr;
        cv::cvtColor(cv::Mat(480, 640, CV_8UC2, const_cast<std::uint8_t*>(stream.Data(b))), bgr, cv::COLOR_YUV2BGR_YUYV);
        EXPECT_EQ(ReadFakeFrameNumber(bgr), std::optional<std::uint32_t>(k));
        stream.Queue(b.index);
    }
}

TEST_F(FakeUvcStream, LosesFramesThatFindNoQueuedBuffer)
{
    const Fd fd = Open();
    RawStream stream(fd.get(), V4L2_PIX_FMT_YUYV, 640, 480, 2);
    stream.QueueAll();
    ASSERT_EQ(stream.Start(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const v4l2_buffer a = stream.Next();
    const v4l2_buffer b = stream.Next();
    EXPECT_EQ(a.sequence, 0U);
    EXPECT_EQ(b.sequence, 1U);
    stream.Queue(a.index);
    const v4l2_buffer c = stream.Next();
    // At least 250 ms went by with both buffers full: frames 2..7 were lost.
    EXPECT_GE(c.sequence, 8U);
    EXPECT_NEAR(double(Nanoseconds(c.timestamp) - Nanoseconds(a.timestamp)), double(c.sequence * kThirtieth), 1000.0);
}

TEST_F(FakeUvcStream, SkipsAndDelaysFramesAsTold)
{
    Tell("drop_every=3\ndelay_ms=80\n");
    const Fd fd = Open();
    RawStream stream(fd.get(), V4L2_PIX_FMT_MJPEG, 640, 480);
    stream.QueueAll();
    ASSERT_EQ(stream.Start(), 0);
    std::vector<std::uint32_t> sequences;
    for (int i = 0; i < 6; ++i) {
        const v4l2_buffer b = stream.Next();
        EXPECT_GE(MonotonicNow(), Nanoseconds(b.timestamp) + 80'000'000) << "delivered before its delay";
        sequences.push_back(b.sequence);
        stream.Queue(b.index);
    }
    EXPECT_EQ(sequences, (std::vector<std::uint32_t> { 0, 1, 3, 4, 6, 7 }));
}

TEST_F(FakeUvcStream, CutsMotionJpegFramesShort)
{
    Tell("cut_every=2\n");
    const Fd fd = Open();
    RawStream stream(fd.get(), V4L2_PIX_FMT_MJPEG, 640, 480);
    stream.QueueAll();
    ASSERT_EQ(stream.Start(), 0);
    std::uint32_t wholeSize = 0;
    for (int i = 0; i < 4; ++i) {
        const v4l2_buffer b = stream.Next();
        const std::uint8_t* data = stream.Data(b);
        const bool ended = b.bytesused >= 2 && data[b.bytesused - 2] == 0xFF && data[b.bytesused - 1] == 0xD9;
        EXPECT_EQ(data[0], 0xFF);
        EXPECT_EQ(data[1], 0xD8);
        if (b.sequence % 2 == 0) {
            EXPECT_TRUE(ended);
            wholeSize = b.bytesused;
            const cv::Mat picture = cv::imdecode(cv::Mat(1, int(b.bytesused), CV_8U, const_cast<std::uint8_t*>(data)),
                cv::IMREAD_COLOR);
            EXPECT_EQ(ReadFakeFrameNumber(picture), std::optional<std::uint32_t>(b.sequence));
        } else {
            EXPECT_FALSE(ended);
            EXPECT_NEAR(double(b.bytesused), 0.6 * wholeSize, 0.05 * wholeSize);
        }
        stream.Queue(b.index);
    }

    Tell("broken=1\n");
    for (int i = 0; i < 6; ++i) {
        const v4l2_buffer b = stream.Next();
        const std::uint8_t* data = stream.Data(b);
        // Frames filled before the change may still be waiting.
        if (i >= 4) {
            EXPECT_FALSE(data[b.bytesused - 2] == 0xFF && data[b.bytesused - 1] == 0xD9) << b.sequence;
        }
        stream.Queue(b.index);
    }
}

TEST_F(FakeUvcStream, ReadinessFollowsTheQueue)
{
    const Fd fd = Open();
    RawStream stream(fd.get(), V4L2_PIX_FMT_YUYV, 640, 480, 2);
    pollfd p { fd.get(), POLLIN, 0 };
    EXPECT_EQ(poll(&p, 1, 0), 1);
    EXPECT_EQ(p.revents, POLLERR) << "a queue that does not stream is in error, as with vb2";

    stream.QueueAll();
    ASSERT_EQ(stream.Start(), 0);
    const v4l2_buffer a = stream.Next();
    const v4l2_buffer b = stream.Next();
    v4l2_buffer none = Buffer();
    EXPECT_EQ(Io(fd.get(), VIDIOC_DQBUF, &none), EAGAIN);
    EXPECT_EQ(poll(&p, 1, 50), 0) << "nothing queued: nothing to wait for but the timeout";

    // A ready pipe beside the fake is reported while the fake still waits.
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const Fd readEnd(pipe[0]), writeEnd(pipe[1]);
    ASSERT_EQ(write(writeEnd.get(), "x", 1), 1);
    pollfd both[2] = { { fd.get(), POLLIN, 0 }, { readEnd.get(), POLLIN, 0 } };
    EXPECT_EQ(poll(both, 2, 1000), 1);
    EXPECT_EQ(both[0].revents, 0);
    EXPECT_EQ(both[1].revents, POLLIN);

    stream.Queue(a.index);

    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd.get(), &readable);
    timeval timeout { 2, 0 };
    EXPECT_EQ(select(fd.get() + 1, &readable, nullptr, nullptr, &timeout), 1);
    EXPECT_TRUE(FD_ISSET(fd.get(), &readable));
    v4l2_buffer c = Buffer();
    EXPECT_EQ(Io(fd.get(), VIDIOC_DQBUF, &c), 0) << "readable means a frame waits";
    EXPECT_GT(c.sequence, b.sequence);
}

// ---------------------------------------------------------------------------------------------

using FakeUvcControls = FakeUvcTest;

TEST_F(FakeUvcControls, AreSharedBetweenHandles)
{
    const Fd a = Open();
    const Fd b = Open();
    std::int32_t value = 20;
    ASSERT_EQ(Set(a.get(), V4L2_CID_BRIGHTNESS, value), 0);
    EXPECT_EQ(Get(b.get(), V4L2_CID_BRIGHTNESS), 20);

    cv::VideoCapture capture(kNode, cv::CAP_V4L2);
    ASSERT_TRUE(capture.isOpened());
    EXPECT_EQ(capture.get(cv::CAP_PROP_BRIGHTNESS), 20);
    EXPECT_TRUE(capture.set(cv::CAP_PROP_CONTRAST, 40));
    EXPECT_EQ(Get(b.get(), V4L2_CID_CONTRAST), 40);
}

TEST_F(FakeUvcControls, AutomaticModesMakeTheirPartnersInactive)
{
    const Fd fd = Open();
    struct Pair {
        std::uint32_t automatic;
        std::int32_t manualValue;
        std::uint32_t partner;
        std::int32_t partnerValue;
    };
    for (const Pair& pair : { Pair { V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL, V4L2_CID_EXPOSURE_ABSOLUTE, 300 },
             Pair { V4L2_CID_AUTO_WHITE_BALANCE, 0, V4L2_CID_WHITE_BALANCE_TEMPERATURE, 3000 },
             Pair { V4L2_CID_FOCUS_AUTO, 0, V4L2_CID_FOCUS_ABSOLUTE, 50 } }) {
        SCOPED_TRACE(pair.partner);
        EXPECT_NE(ControlFlags(fd.get(), pair.partner) & V4L2_CTRL_FLAG_INACTIVE, 0U);
        std::int32_t value = pair.partnerValue;
        EXPECT_EQ(Set(fd.get(), pair.partner, value), EACCES);
        value = pair.manualValue;
        ASSERT_EQ(Set(fd.get(), pair.automatic, value), 0);
        EXPECT_EQ(ControlFlags(fd.get(), pair.partner) & V4L2_CTRL_FLAG_INACTIVE, 0U);
        value = pair.partnerValue;
        EXPECT_EQ(Set(fd.get(), pair.partner, value), 0);
        EXPECT_EQ(Get(fd.get(), pair.partner), pair.partnerValue);
    }
}

TEST_F(FakeUvcControls, ValuesAreRoundedClampedOrRefusedAsUvcvideoDoes)
{
    const Fd fd = Open();
    std::int32_t value = 100;
    EXPECT_EQ(Set(fd.get(), V4L2_CID_BRIGHTNESS, value), 0);
    EXPECT_EQ(value, 64);
    value = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(Set(fd.get(), V4L2_CID_BRIGHTNESS, value), 0);
    EXPECT_EQ(value, -64);
    value = 0;
    ASSERT_EQ(Set(fd.get(), V4L2_CID_FOCUS_AUTO, value), 0);
    value = 7;
    EXPECT_EQ(Set(fd.get(), V4L2_CID_FOCUS_ABSOLUTE, value), 0);
    EXPECT_EQ(Get(fd.get(), V4L2_CID_FOCUS_ABSOLUTE), 5);
    value = 2;
    EXPECT_EQ(Set(fd.get(), V4L2_CID_EXPOSURE_AUTO, value), EINVAL);
    value = 0;
    EXPECT_EQ(Set(fd.get(), V4L2_CID_EXPOSURE_AUTO, value), ERANGE);
    EXPECT_EQ(Get(fd.get(), V4L2_CID_EXPOSURE_AUTO), V4L2_EXPOSURE_APERTURE_PRIORITY);
    v4l2_control unknown { V4L2_CID_PAN_ABSOLUTE, 0 };
    EXPECT_EQ(Io(fd.get(), VIDIOC_G_CTRL, &unknown), EINVAL);

    std::vector<std::string> menu;
    for (std::uint32_t i = 0; i < 5; ++i) {
        v4l2_querymenu m {};
        m.id = V4L2_CID_EXPOSURE_AUTO;
        m.index = i;
        menu.push_back(Io(fd.get(), VIDIOC_QUERYMENU, &m) == 0 ? reinterpret_cast<const char*>(m.name) : "-");
    }
    EXPECT_EQ(menu, (std::vector<std::string> { "-", "Manual Mode", "-", "Aperture Priority Mode", "-" }));
}

TEST_F(FakeUvcControls, EnumerateInIdOrder)
{
    const Fd fd = Open();
    std::vector<std::uint32_t> ids;
    v4l2_queryctrl q {};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (Io(fd.get(), VIDIOC_QUERYCTRL, &q) == 0 && ids.size() < 100) {
        ids.push_back(q.id);
        EXPECT_NE(q.name[0], 0);
        EXPECT_LE(q.minimum, q.default_value);
        EXPECT_GE(q.maximum, q.default_value);
        q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    const std::vector<std::uint32_t> expected { V4L2_CID_BRIGHTNESS, V4L2_CID_CONTRAST, V4L2_CID_SATURATION, V4L2_CID_HUE,
        V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CID_GAMMA, V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_WHITE_BALANCE_TEMPERATURE,
        V4L2_CID_SHARPNESS, V4L2_CID_BACKLIGHT_COMPENSATION, V4L2_CID_EXPOSURE_AUTO, V4L2_CID_EXPOSURE_ABSOLUTE,
        V4L2_CID_FOCUS_ABSOLUTE, V4L2_CID_FOCUS_AUTO, V4L2_CID_ZOOM_ABSOLUTE };
    EXPECT_EQ(ids, expected);

    v4l2_query_ext_ctrl ext {};
    ext.id = V4L2_CID_ZOOM_ABSOLUTE;
    ASSERT_EQ(Io(fd.get(), VIDIOC_QUERY_EXT_CTRL, &ext), 0);
    EXPECT_EQ(ext.minimum, 100);
    EXPECT_EQ(ext.maximum, 500);
}

TEST_F(FakeUvcControls, ExtendedControlsSetAllOrNothing)
{
    const Fd fd = Open();
    v4l2_ext_control pair[2] {};
    pair[0].id = V4L2_CID_BRIGHTNESS;
    pair[0].value = 10;
    pair[1].id = V4L2_CID_EXPOSURE_ABSOLUTE;
    pair[1].value = 300;
    v4l2_ext_controls set = ExtControls(V4L2_CTRL_WHICH_CUR_VAL, 2, pair);
    EXPECT_EQ(Io(fd.get(), VIDIOC_S_EXT_CTRLS, &set), EACCES);
    EXPECT_EQ(set.error_idx, 1U);
    EXPECT_EQ(Get(fd.get(), V4L2_CID_BRIGHTNESS), 0) << "a refused batch changes nothing";

    v4l2_ext_control manual[3] {};
    manual[0].id = V4L2_CID_BRIGHTNESS;
    manual[0].value = 10;
    manual[1].id = V4L2_CID_EXPOSURE_AUTO;
    manual[1].value = V4L2_EXPOSURE_MANUAL;
    manual[2].id = V4L2_CID_EXPOSURE_ABSOLUTE;
    manual[2].value = 300;
    set = ExtControls(V4L2_CTRL_CLASS_CAMERA, 3, manual);
    EXPECT_EQ(Io(fd.get(), VIDIOC_S_EXT_CTRLS, &set), EINVAL) << "brightness is not of the camera class";
    set.which = V4L2_CTRL_WHICH_CUR_VAL;
    EXPECT_EQ(Io(fd.get(), VIDIOC_S_EXT_CTRLS, &set), 0);
    EXPECT_EQ(Get(fd.get(), V4L2_CID_EXPOSURE_ABSOLUTE), 300);

    v4l2_ext_controls defaults = ExtControls(V4L2_CTRL_WHICH_DEF_VAL, 3, manual);
    EXPECT_EQ(Io(fd.get(), VIDIOC_G_EXT_CTRLS, &defaults), 0);
    EXPECT_EQ(manual[0].value, 0);
    EXPECT_EQ(manual[1].value, V4L2_EXPOSURE_APERTURE_PRIORITY);
    EXPECT_EQ(manual[2].value, 156);
}

// ---------------------------------------------------------------------------------------------

using FakeUvcOpenCv = FakeUvcTest;

TEST_F(FakeUvcOpenCv, DeliversFullHdMotionJpegThirtyTimesASecond)
{
    cv::VideoCapture capture(kNode, cv::CAP_V4L2);
    ASSERT_TRUE(capture.isOpened());
    EXPECT_TRUE(capture.set(cv::CAP_PROP_FOURCC, Fourcc("MJPG")));
    EXPECT_TRUE(capture.set(cv::CAP_PROP_FRAME_WIDTH, 1920));
    EXPECT_TRUE(capture.set(cv::CAP_PROP_FRAME_HEIGHT, 1080));
    EXPECT_TRUE(capture.set(cv::CAP_PROP_FPS, 30));
    EXPECT_EQ(int(capture.get(cv::CAP_PROP_FOURCC)), Fourcc("MJPG"));
    EXPECT_EQ(capture.get(cv::CAP_PROP_FRAME_WIDTH), 1920);
    EXPECT_EQ(capture.get(cv::CAP_PROP_FRAME_HEIGHT), 1080);
    EXPECT_EQ(capture.get(cv::CAP_PROP_FPS), 30);

    // A reader held up by a busy machine may miss frames, as with a real camera; the numbers
    // still only grow and each frame's stamp is its number's 1/30 s slot.
    std::optional<std::uint32_t> firstNumber;
    std::uint32_t previous = 0;
    double firstMs = 0;
    for (std::uint32_t i = 0; i < 20; ++i) {
        cv::Mat frame;
        ASSERT_TRUE(capture.read(frame));
        ASSERT_EQ(frame.size(), cv::Size(1920, 1080));
        ASSERT_EQ(frame.type(), CV_8UC3);
        const std::optional<std::uint32_t> number = ReadFakeFrameNumber(frame);
        ASSERT_TRUE(number);
        const double ms = capture.get(cv::CAP_PROP_POS_MSEC);
        if (i == 0) {
            firstNumber = number;
            firstMs = ms;
        } else {
            EXPECT_GT(*number, previous);
        }
        previous = *number;
        EXPECT_NEAR(ms - firstMs, (*number - *firstNumber) * 1000.0 / 30, 0.01);
    }
}

TEST_F(FakeUvcOpenCv, UncompressedFullHdStaysAtFiveFramesASecond)
{
    cv::VideoCapture capture(kNode, cv::CAP_V4L2);
    ASSERT_TRUE(capture.isOpened());
    capture.set(cv::CAP_PROP_FOURCC, Fourcc("YUYV"));
    capture.set(cv::CAP_PROP_FRAME_WIDTH, 1920);
    capture.set(cv::CAP_PROP_FRAME_HEIGHT, 1080);
    capture.set(cv::CAP_PROP_FPS, 30);
    EXPECT_EQ(capture.get(cv::CAP_PROP_FPS), 5);
    cv::Mat frame;
    ASSERT_TRUE(capture.read(frame));
    const double first = capture.get(cv::CAP_PROP_POS_MSEC);
    const std::optional<std::uint32_t> number = ReadFakeFrameNumber(frame);
    ASSERT_TRUE(capture.read(frame));
    EXPECT_EQ(frame.size(), cv::Size(1920, 1080));
    EXPECT_EQ(ReadFakeFrameNumber(frame), *number + 1);
    EXPECT_NEAR(capture.get(cv::CAP_PROP_POS_MSEC) - first, 200.0, 0.01);
}

// What our capture relies on: without conversion OpenCV hands over the Motion-JPEG buffer as it came.
TEST_F(FakeUvcOpenCv, MotionJpegWithoutConversionIsTheCamerasBuffer)
{
    cv::VideoCapture capture(kNode, cv::CAP_V4L2);
    ASSERT_TRUE(capture.isOpened());
    capture.set(cv::CAP_PROP_FOURCC, Fourcc("MJPG"));
    ASSERT_TRUE(capture.set(cv::CAP_PROP_CONVERT_RGB, 0));
    cv::Mat raw;
    ASSERT_TRUE(capture.read(raw));
    ASSERT_EQ(raw.rows, 1);
    ASSERT_EQ(raw.type(), CV_8UC1);
    ASSERT_GT(raw.cols, 4);
    EXPECT_EQ(raw.at<std::uint8_t>(0), 0xFF);
    EXPECT_EQ(raw.at<std::uint8_t>(1), 0xD8);
    EXPECT_EQ(raw.at<std::uint8_t>(raw.cols - 2), 0xFF);
    EXPECT_EQ(raw.at<std::uint8_t>(raw.cols - 1), 0xD9);
    const cv::Mat picture = cv::imdecode(raw, cv::IMREAD_COLOR);
    EXPECT_EQ(picture.size(), cv::Size(640, 480));
    EXPECT_TRUE(ReadFakeFrameNumber(picture));
}

TEST_F(FakeUvcOpenCv, BrightnessChangesThePicture)
{
    // Motion-JPEG decodes at full range, so the level moves one for one.
    cv::VideoCapture capture(kNode, cv::CAP_V4L2);
    ASSERT_TRUE(capture.isOpened());
    capture.set(cv::CAP_PROP_FOURCC, Fourcc("MJPG"));
    cv::Mat frame;
    ASSERT_TRUE(capture.read(frame));
    const cv::Rect below(0, kFakeStripRows, frame.cols, frame.rows - kFakeStripRows);
    const double before = cv::mean(frame(below))[0];
    ASSERT_TRUE(capture.set(cv::CAP_PROP_BRIGHTNESS, 40));
    // Buffers filled before the change still come first.
    double after = before;
    for (int i = 0; i < 8 && after - before < 20; ++i) {
        ASSERT_TRUE(capture.read(frame));
        after = cv::mean(frame(below))[0];
    }
    EXPECT_NEAR(after - before, 40, 2);
}

// ---------------------------------------------------------------------------------------------

using FakeUvcHotplug = FakeUvcTest;

TEST_F(FakeUvcHotplug, UnplugEndsAWaitingReadAndRemovesTheNode)
{
    EXPECT_TRUE(Listed("video40"));
    cv::VideoCapture capture(kNode, cv::CAP_V4L2);
    ASSERT_TRUE(capture.isOpened());
    cv::Mat frame;
    ASSERT_TRUE(capture.read(frame));
    const Fd other = Open();

    // No new frame arrives for a minute: once the frames already taken are read, only the unplug
    // can end the wait.
    Tell("delay_ms=60000\n");
    auto reading = std::async(std::launch::async, [&] {
        int reads = 0;
        while (reads < 10 && capture.read(frame))
            ++reads;
        return reads;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Tell("unplugged=1\n");
    // OpenCV's own select timeout is 10 s; well before that only the unplug can have ended it.
    ASSERT_EQ(reading.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_LT(reading.get(), 10);

    EXPECT_FALSE(Listed("video40"));
    struct stat st {};
    EXPECT_EQ(stat(kNode, &st), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(::open(kNode, O_RDWR | O_NONBLOCK), -1);
    EXPECT_EQ(errno, ENOENT);
    v4l2_control c { V4L2_CID_BRIGHTNESS, 0 };
    EXPECT_EQ(Io(other.get(), VIDIOC_G_CTRL, &c), ENODEV);
    pollfd p { other.get(), POLLIN, 0 };
    EXPECT_EQ(poll(&p, 1, 0), 1);
    EXPECT_NE(p.revents & POLLERR, 0);
    EXPECT_FALSE(cv::VideoCapture(kNode, cv::CAP_V4L2).isOpened());
}

TEST_F(FakeUvcHotplug, ReplugLetsANewCaptureOpen)
{
    const Fd before = Open();
    std::int32_t brightness = 30;
    ASSERT_EQ(Set(before.get(), V4L2_CID_BRIGHTNESS, brightness), 0);
    Tell("unplugged=1\n");
    EXPECT_FALSE(Listed("video40"));
    Tell("unplugged=0\n");
    EXPECT_TRUE(Listed("video40"));

    cv::VideoCapture capture(kNode, cv::CAP_V4L2);
    ASSERT_TRUE(capture.isOpened());
    cv::Mat frame;
    EXPECT_TRUE(capture.read(frame));
    EXPECT_TRUE(ReadFakeFrameNumber(frame));
    EXPECT_EQ(capture.get(cv::CAP_PROP_BRIGHTNESS), 0) << "a camera powered anew starts from its defaults";
    v4l2_capability caps {};
    EXPECT_EQ(Io(before.get(), VIDIOC_QUERYCAP, &caps), ENODEV) << "a handle from before the unplug stays dead";
}

TEST_F(FakeUvcHotplug, TwoCamerasTellThemselvesApart)
{
    setenv("FAKEUVC_CARD", "Front Camera,Rear Camera", 1);
    setenv("FAKEUVC_BUS", ",usb-0000:00:14.0-7", 1);
    fakeuvc_configure("/dev/video40, /dev/video42", control_.c_str());
    unsetenv("FAKEUVC_CARD");
    unsetenv("FAKEUVC_BUS");
    std::set<std::string> seen;
    for (const char* node : { "/dev/video40", "/dev/video42" }) {
        const Fd fd(::open(node, O_RDWR | O_NONBLOCK));
        v4l2_capability caps {};
        ASSERT_EQ(Io(fd.get(), VIDIOC_QUERYCAP, &caps), 0) << node;
        seen.insert(std::string(reinterpret_cast<const char*>(caps.card)) + " @ "
            + reinterpret_cast<const char*>(caps.bus_info));
        struct stat st {};
        ASSERT_EQ(stat(node, &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    EXPECT_EQ(seen, (std::set<std::string> { "Front Camera @ usb-0000:00:14.0-1", "Rear Camera @ usb-0000:00:14.0-7" }));
    EXPECT_TRUE(Listed("video42"));
    EXPECT_EQ(::open("/dev/video41", O_RDWR), -1) << "only the named nodes are faked";
}

#if !defined(__SANITIZE_ADDRESS__)
// The library preloaded into a program that knows nothing of it (an ASan build cannot be preloaded
// into an uninstrumented one).
TEST_F(FakeUvcHotplug, PreloadedIntoAnotherProgram)
{
    const std::string command = "LD_PRELOAD=" FAKEUVC_LIBRARY " FAKEUVC_DEVICES=/dev/video40 sh -c "
                                "'stat -c %F /dev/video40; ls /dev | grep -x video40'";
    FILE* out = popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    char text[256] = {};
    const std::size_t n = fread(text, 1, sizeof text - 1, out);
    pclose(out);
    EXPECT_EQ(std::string(text, n), "character special file\nvideo40\n");
}
#endif

// ---------------------------------------------------------------------------------------------

TEST(FakeUvcPattern, NumbersSurviveDrawingAndReading)
{
    cv::Mat grey(kFakeStripRows + 4, kFakeBits * kFakeBlock, CV_8UC1);
    for (const std::uint32_t n : { 0U, 1U, 0x80000000U, 0xDEADBEEFU, 0xFFFFFFFFU }) {
        DrawFakeRows(grey.data, std::ptrdiff_t(grey.step), grey.cols, 0, grey.rows, n, 64);
        EXPECT_EQ(ReadFakeFrameNumber(grey), n);
        cv::Mat bgr;
        cv::cvtColor(grey, bgr, cv::COLOR_GRAY2BGR);
        EXPECT_EQ(ReadFakeFrameNumber(bgr), n);
    }
    EXPECT_FALSE(ReadFakeFrameNumber(grey.colRange(0, grey.cols - 1)));
    EXPECT_FALSE(ReadFakeFrameNumber(grey.rowRange(0, kFakeStripRows - 1)));
}

// Frames stitched from bands and kept per phase of the ramp decode to the picture drawn whole.
TEST(FakeUvcPattern, StitchedMotionJpegDecodesToThePicture)
{
    fakeuvc::MjpegFrames frames;
    std::vector<std::uint8_t> jpeg(1 << 20);
    cv::Mat drawn(480, 640, CV_8UC1);
    for (const auto& [number, brightness] :
        std::vector<std::pair<std::uint32_t, int>> { { 5, 0 }, { 69, 0 }, { 69, -64 }, { 0xFFFFFFFF, 64 } }) {
        SCOPED_TRACE(number);
        const std::size_t n = frames.Write(number, brightness, 640, 480, jpeg.data(), jpeg.size());
        ASSERT_GT(n, 0U);
        ASSERT_LE(n, jpeg.size());
        const cv::Mat decoded = cv::imdecode(cv::Mat(1, int(n), CV_8U, jpeg.data()), cv::IMREAD_GRAYSCALE);
        ASSERT_EQ(decoded.size(), drawn.size());
        DrawFakeRows(drawn.data, std::ptrdiff_t(drawn.step), drawn.cols, 0, drawn.rows, number, brightness);
        EXPECT_EQ(ReadFakeFrameNumber(decoded), number);
        EXPECT_LT(cv::norm(decoded, drawn, cv::NORM_L1) / double(drawn.total()), 2.0);
    }
    EXPECT_EQ(frames.Write(1, 0, 640, 480, jpeg.data(), 100), frames.Write(1, 0, 640, 480, jpeg.data(), jpeg.size()))
        << "a short buffer is told the length it lacked";
}

} // namespace
