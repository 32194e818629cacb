#pragma once

#include "pipeline/record/BurstStrip.h"
#include "pipeline/capture/FrameSource.h"
#include "settings/SettingsValues.h"

#include <QWidget>

#include <array>
#include <ctime>
#include <functional>

class CWebcamCtl;
class QTimer;
class CWelcomeMovie;

// How large the picture is shown, as a share of the picture size.
enum DisplaySize : int {
    kDisplayFull = 0,
    kDisplayThreeQuarters = 1,
    kDisplayHalf = 2,
    // Not a share: as large as the view allows with the proportions kept, following its size.
    kDisplayFit = 3,
};

// The left pane: hosts the image area at the top left, applies the display sizes and receives
// the frames and add-ons picked in the side pane. On a first run it measures the camera first.
class CParvelWebcamView : public QWidget {
    Q_OBJECT
public:
    CParvelWebcamView(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
        QWidget* parent = nullptr);

    CWebcamCtl* webcam() const { return webcam_; }
    CWelcomeMovie* movie() const { return movie_; }
    bool layoutDone() const { return layoutDone_; }
    DisplaySize sizeMode() const { return sizeMode_; }
    // The strip below the picture for the welcome movie: where the first layout reserved it, or
    // along the view's bottom edge while the picture fits the window.
    QRect movieRect() const;

    // Shows the picture at full, three-quarter or half size, or fitted to the view; the picture
    // itself keeps its size.
    void SetDisplaySize(DisplaySize mode);
    // The view width at which the fitted picture fills the view's height.
    int WidthToFillHeight() const;

    // The delayed photo, while the camera runs: counts delaySeconds down, one step for each whole
    // second passed, and asks for a photo when it reaches 0. Starting again restarts the count;
    // stopping the camera, whichever way, cancels it. False when the camera is stopped.
    bool StartCountdown(int delaySeconds);
    // One notification of the countdown's one-second timer (tests call it with their own clock).
    void CountdownStep();
    void CancelCountdown();
    bool countdownActive() const { return countdownActive_; }
    int countdownRemaining() const { return countdownRemaining_; }
    // Milliseconds of a steady clock; the countdown measures its seconds with it.
    using TickSource = std::function<quint64()>;
    void SetTickSource(TickSource ticks);

    // The burst strip, while the camera runs: the countdown of delaySeconds, then four photos
    // one second apart, each with the flash, and a strip of the four saved beside them.
    // Stopping the camera cancels it. False when the camera is stopped.
    bool StartBurst(int delaySeconds);
    // One notification of the burst's timer: takes the shot that is due (tests call it with
    // their own clock).
    void BurstStep();
    void CancelBurst();
    // From the start of the countdown until the strip is queued.
    bool burstActive() const { return burstCounting_ || burstCollecting_; }
    int burstShotsTaken() const { return burst_.shotsTaken(); }
    void SetBurstClock(BurstSequence::Clock clock) { burst_ = BurstSequence(std::move(clock)); }
    // The wall clock that dates the strip (tests).
    void SetBurstWallClock(std::function<std::time_t()> clock) { burstWallClock_ = std::move(clock); }

signals:
    void sizeModeChanged(DisplaySize mode);

public slots:
    void OnFramePicked(const QString& path, int kind);
    void OnAddOnPicked(const QString& path, int kind);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void FirstLayout();
    void RunCameraProbe();
    void ApplyDisplaySize();
    void BeginBurstShots();
    void OnShotTaken(int shot, const QImage& picture);

    AppFolders folders_;
    SettingsValues values_;
    FrameSourceFactory sources_; // the probe opens the same camera as the image area
    CWebcamCtl* webcam_ = nullptr;
    CWelcomeMovie* movie_ = nullptr;
    bool layoutDone_ = false;
    bool probeDone_ = false;
    DisplaySize sizeMode_ = kDisplayFull;
    QRect reservedMovieRect_;

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
};
