#pragma once

#include "pipeline/FrameLoop.h"
#include "pipeline/PictureModel.h"
#include "pipeline/RoomLearning.h"
#include "pipeline/capture/FrameSource.h"
#include "pipeline/record/BurstStrip.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <array>
#include <chrono>
#include <ctime>
#include <functional>
#include <mutex>

class QTimer;

// Everything that happens while the camera runs, without a widget: the model and the frame loop,
// start and stop, the photo now, the delayed photo and the burst, recordings and animated GIFs,
// the lost camera. It tells whoever shows it by signals, all on the interface thread.
class PictureSession : public QObject {
    Q_OBJECT
public:
    PictureSession(const QString& systemDir, const QString& photoDir, FrameSourceFactory sources,
        QObject* parent = nullptr);
    ~PictureSession() override;

    PictureModel& model() { return model_; }
    const PictureModel& model() const { return model_; }
    FrameLoop& loop() { return loop_; }
    const FrameLoop& loop() const { return loop_; }

    // A start without a camera says so (cameraMissing, unless tellIfMissing is false) and leaves
    // the camera stopped.
    bool Start(bool tellIfMissing = true);
    void Stop();
    bool running() const { return loop_.running(); }
    // True while any session runs its camera (the main window refuses to close then).
    static bool RunningAnywhere() { return FrameLoop::RunningAnywhere(); }
    // Ends the camera and everything that needs it, and releases the decorations (window closing).
    void ReleaseAll();

    // Picture size (camera pixels) and display size (screen pixels).
    void SetPictureSize(int width, int height) { loop_.SetPictureSize(width, height); }
    void SetDisplaySize(int width, int height) { loop_.SetDisplaySize(width, height); }
    cv::Size pictureSize() const { return { loop_.pictureWidth(), loop_.pictureHeight() }; }
    // While paused the picture stands still (a region being selected).
    void SetPaused(bool paused) { loop_.paused = paused; }

    // The last picture handed to the screen, at display size (interface thread).
    QImage shownImage() const { return shownImage_; }

    // A photo of the next picture, with the flash; false while the camera is stopped.
    bool TakePhotoNow();
    // A photo taken by a click on the picture, with the flash like every photo.
    void TakeClickPhoto();

    // The next composed picture, as a photo of it would be saved, handed to `taken` on the
    // interface thread (a copy to the clipboard); false while the camera is stopped. A later
    // request replaces one not yet served; stopping the camera drops it.
    using PictureTaken = std::function<void(const QImage&)>;
    bool RequestPicture(PictureTaken taken);

    // The delayed photo: counts delaySeconds down, one step for each whole second passed, and
    // takes the photo at 0. Starting again restarts the count; stopping the camera cancels it.
    // False while the camera is stopped.
    bool StartCountdown(int delaySeconds);
    // One notification of the countdown's one-second timer (tests call it with their own clock).
    void CountdownStep();
    void CancelCountdown();
    bool countdownActive() const { return countdownActive_; }
    int countdownRemaining() const { return countdownRemaining_; }
    // Milliseconds of a steady clock; the countdown measures its seconds with it.
    using TickSource = std::function<quint64()>;
    void SetTickSource(TickSource ticks);

    // The burst strip: the countdown, then four photos one second apart, each with the flash, and
    // a strip of the four saved beside them. False while the camera is stopped.
    bool StartBurst(int delaySeconds);
    // One notification of the burst's timer: takes the shot that is due.
    void BurstStep();
    void CancelBurst();
    // From the start of the countdown until the strip is queued.
    bool burstActive() const { return burstCounting_ || burstCollecting_; }
    int burstShotsTaken() const { return burst_.shotsTaken(); }
    void SetBurstClock(BurstSequence::Clock clock) { burst_ = BurstSequence(std::move(clock)); }
    // The wall clock that dates the strip (tests).
    void SetBurstWallClock(std::function<std::time_t()> clock) { burstWallClock_ = std::move(clock); }

    // A video of the composed pictures in the photo folder. The outcome of the end comes as a
    // signal (videoSaved or recordingFailed).
    RecordingStart StartRecording();
    // Ends the video and the GIF; each reports its own outcome.
    void StopRecording();
    bool recording() const { return model_.video.recording(); }
    // The codec message of the running recording, and the time recorded so far.
    QString recordingMessage() const { return recordingMessage_; }
    std::chrono::steady_clock::duration recordingElapsed() const { return model_.video.elapsed(); }

    // An animated GIF of the next gifSeconds(); false, with why in message, when none starts.
    enum class GifStart { Started, CameraStopped, Refused };
    GifStart StartGif(QString& message);
    int gifSeconds() const { return gifSeconds_; }
    void SetGifSeconds(int seconds);

    // The fun effect's preview grid in place of the picture (screen only), and its pages.
    void ShowFunPreview(bool shown);
    bool funPreviewShown() const { return model_.funPreview.shown(); }
    void TurnFunPreviewPage(int step);

    // The boxes of the tracked faces over the picture, on the screen only.
    void SetFaceBoxesShown(bool shown);
    bool faceBoxesShown() const { return faceBoxesShown_; }
    // The moment (steady seconds) at which the face boxes are drawn; tests give their own.
    double faceSeconds() const { return faceClock_(); }
    void SetFaceClock(std::function<double()> clock);

    // What the two colour buttons hold (blue, green, red): red until the user picks another.
    cv::Scalar flowButtonColour { 0, 0, 255 };
    cv::Scalar paintButtonColour { 0, 0, 255 };

    // Learning the empty room: "请离开画面" with a countdown of 3 on the picture, then about a
    // second of frames learnt, then "背景已记住" (or why not) by backdropMessage. Starting again
    // begins afresh; stopping the camera cancels it. False while the camera is stopped.
    bool StartLearning();
    void CancelLearning();
    bool learningActive() const { return learning_.active(); }
    // One look at the learning's progress (its timer; tests call it with their steady clock).
    void LearningStep();
    // Once a second while the camera runs: tells the user once when the learnt room no longer
    // matches what the camera sees.
    void CheckBackdrop();
    // Milliseconds between two looks at the learning.
    static constexpr int kLearningPeriodMs = 100;

    // How long a running camera may hand out no picture before it counts as lost, checked once a
    // second on the interface thread; a worker that died without a word must not leave the
    // camera shown as on. Longer than the loop's own lost-camera time, which comes first.
    static constexpr std::chrono::milliseconds kStalledAfter { 3000 };
    // One look at the pictures' progress (the watchdog's timer; tests call it with their clock).
    void CheckStalled();
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;
    void SetSteadyClock(SteadyClock clock);

signals:
    // A new picture is ready in shownImage().
    void framePresented();
    // The camera started or stopped, whichever way (command, double-click, camera lost).
    void cameraSwitched(bool running);
    // A start found no camera.
    void cameraMissing();
    // After each start of a camera: the size and rate it gives, whether in a compressed format,
    // and the size that was asked for (empty when none). The picture has the size it gives.
    void cameraAgreed(QSize size, double rate, bool compressed, QSize asked);
    // The camera stopped delivering pictures and was stopped (after cameraSwitched(false)).
    void cameraLost();
    // A photo was taken (now, by a click, at the end of a countdown, a shot of a burst): the
    // screen flashes.
    void flashRequested();
    // A video or an animated GIF started.
    void recordingStarted();
    // The delayed photo's remaining seconds; 0 when none is shown.
    void countdownChanged(int seconds);
    // The room learning's countdown (3, 2, 1; 0 when none is shown).
    void learningCountdownChanged(int seconds);
    // Something about the backdrop for the status bar.
    void backdropMessage(const QString& text);
    // A click on the picture took this colour for the cloth, now keyed out.
    void clothColourPicked(const QColor& colour);
    // A photo was saved (path) or not (message for the status bar).
    void photoSaved(const QString& path);
    // The chosen photo folder is missing; the photo was kept at `keptAt` in the default folder.
    void photoFolderMissing(const QString& folder, const QString& keptAt);
    void photoFailed(const QString& message);
    // droppedPictures: pictures the writer could not keep up with, left out of the file.
    void videoSaved(const QString& path, quint64 droppedPictures);
    void gifSaved(const QString& path);
    void recordingFailed(const QString& message);
    // Something the commands show changed (a recording, a GIF, a burst, the face boxes).
    void stateChanged();

private:
    // Presenter thread: keeps only the newest picture and posts one queued call to show it.
    void ShowOnInterfaceThread(QImage image);
    void OnSourceLost();
    // Interface thread: the outcomes of the writers' threads.
    void OnPhotoDone(const PhotoResult& result);
    void OnVideoDone(const RecordingResult& result);
    void OnGifDone(const PhotoResult& result);
    void BeginBurstShots();
    void OnShotTaken(int shot, const QImage& picture);
    void OnPictureTaken(const QImage& picture);

    PictureModel model_;
    FrameLoop loop_; // after the model: it works on the model until it is joined

    QTimer* countdownTimer_ = nullptr;
    TickSource ticks_;
    quint64 countdownLastTick_ = 0;
    int countdownRemaining_ = 0;
    bool countdownActive_ = false;

    bool burstCounting_ = false; // the countdown runs for a burst
    BurstSequence burst_;
    QTimer* burstTimer_ = nullptr;
    std::array<QImage, BurstSequence::kShots> burstShots_;
    int burstArrived_ = 0;
    bool burstCollecting_ = false; // from the first shot until the strip is queued
    std::function<std::time_t()> burstWallClock_;

    PictureTaken pictureTaken_;

    QString recordingMessage_;
    int gifSeconds_ = 3;
    bool faceBoxesShown_ = false;
    std::function<double()> faceClock_ = [] { return FaceTracker::Now(); };

    QTimer* learningTimer_ = nullptr;
    RoomLearning learning_;
    int learningShown_ = 0;
    double SteadySeconds() const;

    QTimer* watchdog_ = nullptr;
    SteadyClock steadyClock_;

    // Latest finished picture waiting for the interface thread.
    std::mutex shownMutex_;
    QImage pendingImage_;
    bool presentPosted_ = false;
    QImage shownImage_;
};
