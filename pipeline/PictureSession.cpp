#include "pipeline/PictureSession.h"

#include "pipeline/CaptureSounds.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
constexpr int kCountdownPeriodMs = 1000;
constexpr int kWatchdogMs = 1000;

// A callback for another thread (the photo writer, the video writer, the GIF encoder): it hands
// its outcome to handle on the target's thread, queued, never waiting for the interface thread.
template <class Result, class Handle>
std::function<void(const Result&)> Queued(QObject* target, Handle handle)
{
    return [target, handle](const Result& result) {
        QMetaObject::invokeMethod(target, [handle, result] { handle(result); }, Qt::QueuedConnection);
    };
}

quint64 SteadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<quint64>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
} // namespace

PictureSession::PictureSession(const QString& systemDir, const QString& photoDir, FrameSourceFactory sources,
    QObject* parent)
    : QObject(parent)
    , model_(systemDir, photoDir, Queued<PhotoResult>(this, [this](const PhotoResult& r) { OnPhotoDone(r); }),
          Queued<RecordingResult>(this, [this](const RecordingResult& r) { OnVideoDone(r); }),
          Queued<PhotoResult>(this, [this](const PhotoResult& r) { OnGifDone(r); }))
    , loop_(
          model_, std::move(sources), [this](QImage picture) { ShowOnInterfaceThread(std::move(picture)); },
          [this] { QMetaObject::invokeMethod(this, [this] { OnSourceLost(); }, Qt::QueuedConnection); })
    , ticks_(SteadyMilliseconds)
    , steadyClock_([] { return std::chrono::steady_clock::now(); })
{
    model_.shots.SetTaken([this](int shot, const QImage& picture) {
        // Presenter thread: queued, never waiting for the interface thread.
        QMetaObject::invokeMethod(this, [this, shot, picture] { OnShotTaken(shot, picture); }, Qt::QueuedConnection);
    });
    model_.copies.SetTaken([this](int, const QImage& picture) {
        QMetaObject::invokeMethod(this, [this, picture] { OnPictureTaken(picture); }, Qt::QueuedConnection);
    });

    countdownTimer_ = new QTimer(this);
    // A coarse timer may fire a little early, which would take no step and make one second last
    // two.
    countdownTimer_->setTimerType(Qt::PreciseTimer);
    countdownTimer_->setInterval(kCountdownPeriodMs);
    connect(countdownTimer_, &QTimer::timeout, this, &PictureSession::CountdownStep);

    burstTimer_ = new QTimer(this);
    burstTimer_->setSingleShot(true);
    burstTimer_->setTimerType(Qt::PreciseTimer);
    connect(burstTimer_, &QTimer::timeout, this, &PictureSession::BurstStep);

    learningTimer_ = new QTimer(this);
    learningTimer_->setTimerType(Qt::PreciseTimer);
    learningTimer_->setInterval(kLearningPeriodMs);
    connect(learningTimer_, &QTimer::timeout, this, &PictureSession::LearningStep);

    watchdog_ = new QTimer(this);
    watchdog_->setInterval(kWatchdogMs);
    connect(watchdog_, &QTimer::timeout, this, &PictureSession::CheckStalled);

    ConnectCaptureSounds(*this);
}

PictureSession::~PictureSession()
{
    ReleaseAll();
}

void PictureSession::ReleaseAll()
{
    if (running())
        Stop();
    loop_.StopAndJoin();
    StopRecording();
    model_.overlays.ReleaseAll();
}

bool PictureSession::Start(bool tellIfMissing)
{
    if (running())
        return true;
    if (loop_.Start() == FrameLoop::StartResult::NoCamera) {
        if (tellIfMissing)
            emit cameraMissing();
        return false;
    }
    watchdog_->start();
    emit cameraSwitched(true);
    if (const std::optional<CameraAgreement>& agreed = loop_.agreement())
        emit cameraAgreed(QSize(agreed->size.width, agreed->size.height), agreed->rate, IsJpegFormat(agreed->fourcc),
            QSize(agreed->asked.width, agreed->asked.height));
    return true;
}

void PictureSession::Stop()
{
    loop_.Stop();
    watchdog_->stop();
    // Nothing asked for while this run lasted may happen in a later one.
    model_.photos.Cancel();
    CancelCountdown();
    CancelBurst();
    CancelLearning();
    model_.copies.Disarm();
    pictureTaken_ = {};
    // A recording ends with the pictures it has: the file is finished, the GIF saved.
    StopRecording();
    model_.OnCameraStopped();
    model_.funPreview.Show(false); // a grid of a stopped camera shows nothing live to pick from
    emit cameraSwitched(false);
}

bool PictureSession::RequestPicture(PictureTaken taken)
{
    if (!running())
        return false;
    pictureTaken_ = std::move(taken);
    model_.copies.Arm(0);
    return true;
}

void PictureSession::OnPictureTaken(const QImage& picture)
{
    if (!pictureTaken_)
        return; // the camera stopped meanwhile
    const PictureTaken taken = std::exchange(pictureTaken_, {});
    taken(picture);
}

void PictureSession::OnPhotoDone(const PhotoResult& result)
{
    if (result.saved)
        emit photoSaved(result.path);
    else
        emit photoFailed(result.message);
    if (result.saved && !result.missingFolder.isEmpty())
        emit photoFolderMissing(result.missingFolder, result.path);
}

void PictureSession::OnVideoDone(const RecordingResult& result)
{
    if (result.saved)
        emit videoSaved(result.path, result.framesDropped);
    else
        emit recordingFailed(result.message);
    emit stateChanged();
}

void PictureSession::OnGifDone(const PhotoResult& result)
{
    if (result.saved)
        emit gifSaved(result.path);
    else
        emit recordingFailed(result.message);
    emit stateChanged();
}

void PictureSession::OnSourceLost()
{
    if (!running())
        return; // stopped meanwhile
    Stop();
    emit cameraLost();
}

void PictureSession::SetSteadyClock(SteadyClock clock)
{
    steadyClock_ = clock ? std::move(clock) : SteadyClock([] { return std::chrono::steady_clock::now(); });
}

double PictureSession::SteadySeconds() const
{
    return std::chrono::duration<double>(steadyClock_().time_since_epoch()).count();
}

bool PictureSession::StartLearning()
{
    if (!running())
        return false;
    model_.backdrop.SetLearning(false);
    model_.backdrop.AskToLeaveThePicture();
    learning_.Start(SteadySeconds());
    learningTimer_->start();
    LearningStep();
    return true;
}

void PictureSession::CancelLearning()
{
    const bool wasActive = learning_.active();
    learning_.Cancel();
    learningTimer_->stop();
    model_.backdrop.SetLearning(false);
    if (learningShown_ != 0) {
        learningShown_ = 0;
        emit learningCountdownChanged(0);
    }
    if (wasActive)
        emit stateChanged();
}

void PictureSession::LearningStep()
{
    const double now = SteadySeconds();
    const RoomLearning::Phase phase = learning_.At(now);
    const int shown = learning_.SecondsLeft(now);
    if (shown != learningShown_) {
        learningShown_ = shown;
        emit learningCountdownChanged(shown);
    }
    switch (phase) {
    case RoomLearning::Phase::Idle:
        learningTimer_->stop();
        return;
    case RoomLearning::Phase::Counting:
        return;
    case RoomLearning::Phase::Learning:
        model_.backdrop.SetLearning(true);
        return;
    case RoomLearning::Phase::Finished:
        break;
    }
    // Frames come from the worker; a second without one (a stalled camera) learnt nothing.
    const bool learnt = model_.backdrop.learning() && model_.backdrop.learntFrames() > 0;
    CancelLearning();
    emit backdropMessage(learnt ? tr("背景已记住") : tr("没能记住背景：这一秒没有收到画面，请再试一次"));
}

void PictureSession::CheckBackdrop()
{
    if (model_.backdrop.TakeSceneChanged())
        emit backdropMessage(tr("场景变化了，请重新学习背景"));
}

void PictureSession::CheckStalled()
{
    CheckBackdrop();
    // A picture held still on purpose is no stall. The time of the last picture is the
    // presenter's own, so a busy interface thread cannot make a running camera look stalled.
    if (!running() || loop_.paused)
        return;
    if (steadyClock_() - loop_.lastPictureAt() >= kStalledAfter)
        OnSourceLost();
}

void PictureSession::ShowOnInterfaceThread(QImage image)
{
    std::scoped_lock lock(shownMutex_);
    pendingImage_ = std::move(image);
    if (presentPosted_)
        return; // the interface thread has not shown the previous one yet: it takes the newest
    presentPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            {
                std::scoped_lock lock(shownMutex_);
                shownImage_ = std::move(pendingImage_);
                pendingImage_ = QImage();
                presentPosted_ = false;
            }
            emit framePresented();
            // A colour picked by a click is told with the next picture.
            if (const std::optional<cv::Scalar> picked = model_.backdrop.TakePickToTell())
                emit clothColourPicked(QColor(cvRound((*picked)[2]), cvRound((*picked)[1]), cvRound((*picked)[0])));
        },
        Qt::QueuedConnection);
}

bool PictureSession::TakePhotoNow()
{
    if (!running())
        return false;
    model_.photos.Request();
    emit flashRequested();
    return true;
}

void PictureSession::TakeClickPhoto()
{
    if (!running())
        return;
    model_.photos.Request();
    emit flashRequested();
}

void PictureSession::SetTickSource(TickSource ticks)
{
    ticks_ = ticks ? std::move(ticks) : TickSource(SteadyMilliseconds);
}

bool PictureSession::StartCountdown(int delaySeconds)
{
    if (!running())
        return false;
    // A delayed photo started meanwhile takes over the countdown from a burst.
    CancelBurst();
    countdownActive_ = true;
    countdownRemaining_ = std::max(delaySeconds, 0); // 0 or less: the photo at the first step
    countdownLastTick_ = ticks_();
    // Started after the tick is read, so its first notification cannot come before a full second.
    countdownTimer_->start();
    emit countdownChanged(countdownRemaining_);
    emit stateChanged();
    return true;
}

void PictureSession::CountdownStep()
{
    if (!countdownActive_)
        return;
    const quint64 now = ticks_();
    if ((now - countdownLastTick_) / kCountdownPeriodMs == 0)
        return; // early: the step falls to the next notification
    --countdownRemaining_;
    countdownLastTick_ = now;
    if (countdownRemaining_ <= 0) {
        countdownActive_ = false;
        countdownTimer_->stop();
        emit countdownChanged(0);
        if (burstCounting_) {
            burstCounting_ = false;
            BeginBurstShots();
        } else {
            model_.photos.Request();
            emit flashRequested();
        }
        emit stateChanged();
        return;
    }
    emit countdownChanged(countdownRemaining_);
    emit stateChanged();
    // The next notification a full period after this step: the timer's own rhythm would come
    // a little less than a second after a late step and take no step.
    countdownTimer_->start();
}

void PictureSession::CancelCountdown()
{
    const bool wasActive = countdownActive_;
    countdownActive_ = false;
    countdownTimer_->stop();
    if (wasActive) {
        emit countdownChanged(0);
        emit stateChanged();
    }
}

bool PictureSession::StartBurst(int delaySeconds)
{
    if (!StartCountdown(delaySeconds))
        return false;
    burstCounting_ = true;
    return true;
}

void PictureSession::BeginBurstShots()
{
    burstShots_ = {};
    burstArrived_ = 0;
    burstCollecting_ = true;
    burst_.Start();
    BurstStep();
}

void PictureSession::BurstStep()
{
    if (!burst_.running())
        return;
    const int shot = burst_.TakeDueShot();
    if (shot >= 0) {
        // Armed before the request, so the picture of this photo comes back as this shot.
        model_.shots.Arm(shot);
        model_.photos.Request();
        emit flashRequested();
    }
    if (burst_.running()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(burst_.untilNextShot());
        burstTimer_->start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0)));
    }
}

void PictureSession::OnShotTaken(int shot, const QImage& picture)
{
    if (!burstCollecting_ || shot < 0 || shot >= BurstSequence::kShots)
        return;
    if (burstShots_[static_cast<size_t>(shot)].isNull())
        ++burstArrived_;
    burstShots_[static_cast<size_t>(shot)] = picture;
    if (burstArrived_ < BurstSequence::kShots)
        return;
    const std::time_t when = burstWallClock_ ? burstWallClock_() : std::time(nullptr);
    const QImage strip = ComposeBurstStripImage(burstShots_, when);
    burstShots_ = {};
    burstArrived_ = 0;
    burstCollecting_ = false;
    // Written and reported like a photo, after the four it is made of.
    if (!strip.isNull())
        model_.photos.QueuePhoto(strip, BurstStripNameSuffix());
    emit stateChanged();
}

void PictureSession::CancelBurst()
{
    const bool wasActive = burstActive();
    burstCounting_ = false;
    burst_.Cancel();
    burstTimer_->stop();
    burstShots_ = {};
    burstArrived_ = 0;
    burstCollecting_ = false;
    model_.shots.Disarm();
    if (wasActive)
        emit stateChanged();
}

RecordingStart PictureSession::StartRecording()
{
    if (!running())
        return {}; // nothing to record: the commands that start it are off meanwhile
    // The installed program's photo folder is made by the first photo, or the first recording.
    const QString folder = model_.photos.PreparePhotoDir();
    // The loop takes at most one frame a pass, so its pass rate is the recording's rate.
    const double fps = 1000.0 / static_cast<double>(FrameLoop::kPassPeriod.count());
    RecordingStart start = model_.video.Start(folder, fps, pictureSize());
    recordingMessage_ = start.started ? start.message : QString();
    if (start.started)
        emit recordingStarted();
    emit stateChanged();
    return start;
}

void PictureSession::StopRecording()
{
    // Both report their outcome through their own callbacks.
    model_.video.Stop();
    model_.gif.Stop();
    emit stateChanged();
}

PictureSession::GifStart PictureSession::StartGif(QString& message)
{
    if (!running())
        return GifStart::CameraStopped;
    if (!model_.gif.Start(model_.photos.PreparePhotoDir(), gifSeconds_, message))
        return GifStart::Refused;
    emit recordingStarted();
    emit stateChanged();
    return GifStart::Started;
}

void PictureSession::SetGifSeconds(int seconds)
{
    gifSeconds_ = seconds;
    emit stateChanged();
}

void PictureSession::SetFaceBoxesShown(bool shown)
{
    faceBoxesShown_ = shown;
    emit stateChanged();
}

void PictureSession::SetFaceClock(std::function<double()> clock)
{
    faceClock_ = clock ? std::move(clock) : std::function<double()>([] { return FaceTracker::Now(); });
}

void PictureSession::ShowFunPreview(bool shown)
{
    if (shown == model_.funPreview.shown())
        return;
    model_.funPreview.Show(shown);
    emit stateChanged();
}

void PictureSession::TurnFunPreviewPage(int step)
{
    if (!model_.funPreview.shown())
        return;
    model_.funPreview.TurnPage(step);
    emit stateChanged();
}
