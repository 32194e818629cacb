#include "FakeCameraRig.h"
#include "QtTestApp.h"

#include "app/CameraReturn.h"
#include "app/CameraTexts.h"
#include "pipeline/PictureSession.h"
#include "pipeline/capture/CameraList.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class CameraReturnTest : public FakeCameraRig {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        FakeCameraRig::SetUp();
    }

    // Lets queued calls through until `done` holds or the camera's few seconds are over.
    template <class Done>
    bool Within(std::chrono::milliseconds limit, Done done)
    {
        const Clock::time_point end = Clock::now() + limit;
        while (!done() && Clock::now() < end) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return done();
    }

    QTemporaryDir dir;
};

TEST_F(CameraReturnTest, ACameraUnpluggedWhileRunningStartsAgainWhenTheSameCameraIsBack)
{
    PictureSession session(dir.path(), dir.path(), MakeFrameSourceFactory("/dev/video40"));
    session.SetPictureSize(1280, 720);
    session.SetDisplaySize(640, 360);
    session.loop().SetLostAfter(std::chrono::milliseconds(400));
    auto cameras = std::shared_ptr<CameraList>(MakeSystemCameraList());
    CameraReturn watch(session, cameras, [] { return MakeSystemVideoDevices()->Paths(); });
    int changed = 0;
    int lost = 0;
    QStringList returning;
    std::vector<QSize> agreedSizes;
    QString agreedText;
    QObject::connect(&watch, &CameraReturn::camerasChanged, [&] { ++changed; });
    QObject::connect(&watch, &CameraReturn::cameraReturning, [&](const QString& name) { returning << name; });
    QObject::connect(&session, &PictureSession::cameraLost, [&] { ++lost; });
    QObject::connect(&session, &PictureSession::cameraAgreed, [&](QSize size, double rate, bool, QSize asked) {
        agreedSizes.push_back(size);
        agreedText = CameraAgreedText(size, rate, asked);
    });

    ASSERT_TRUE(session.Start());
    ASSERT_EQ(agreedSizes.size(), 1u);
    EXPECT_EQ(agreedSizes[0], QSize(1280, 720));
    EXPECT_EQ(agreedText, QString("摄像头：1280 × 720，30 帧/秒"));
    ASSERT_TRUE(Within(std::chrono::seconds(3), [&] { return !session.shownImage().isNull(); }));

    Tell("unplugged=1\n");
    ASSERT_TRUE(Within(std::chrono::seconds(3), [&] { return lost == 1; }));
    EXPECT_FALSE(session.running());
    watch.Look();
    EXPECT_EQ(changed, 1) << "the node went";
    EXPECT_FALSE(watch.waitingFor().empty());
    EXPECT_TRUE(returning.isEmpty());

    Tell("unplugged=0\n");
    watch.Look();
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(returning, QStringList { "Fake UVC Camera" });
    EXPECT_TRUE(session.running()) << "started again by itself";
    EXPECT_TRUE(watch.waitingFor().empty());
    ASSERT_EQ(agreedSizes.size(), 2u);
    EXPECT_EQ(agreedSizes[1], QSize(1280, 720)) << "with the size it had";
    session.loop().stats().Take();
    int pictures = 0;
    EXPECT_TRUE(Within(std::chrono::seconds(3), [&] {
        pictures += session.loop().stats().Take().pictures;
        return pictures > 0;
    }));
    session.Stop();
}

TEST_F(CameraReturnTest, AStoppedCameraIsNotStartedByAPlugAndAnotherCameraIsNotTakenForIt)
{
    PictureSession session(dir.path(), dir.path(), MakeFrameSourceFactory("/dev/video40"));
    session.SetPictureSize(640, 480);
    session.SetDisplaySize(640, 480);
    auto cameras = std::shared_ptr<CameraList>(MakeSystemCameraList());
    CameraReturn watch(session, cameras, [] { return MakeSystemVideoDevices()->Paths(); });
    ASSERT_TRUE(session.Start());
    session.Stop(); // the user's stop: nothing to wait for
    Tell("unplugged=1\n");
    watch.Look();
    Tell("unplugged=0\n");
    watch.Look();
    EXPECT_FALSE(session.running());
    EXPECT_TRUE(watch.waitingFor().empty());
}

} // namespace
