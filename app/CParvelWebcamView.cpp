#include "app/CParvelWebcamView.h"

#include "app/CWelcomeMovie.h"
#include "app/CameraProbeMessages.h"
#include "app/DisplayFit.h"
#include "app/EditMenu.h"
#include "app/commands/CommandTable.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/capture/CameraProbe.h"
#include "pipeline/DecorationCommands.h"
#include "pipeline/PictureModel.h"
#include "settings/SettingsWorkbook.h"
#include "ui/MessageBoxes.h"
#include "ui/PathText.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {
constexpr int kMovieStripHeight = 60;
constexpr int kCountdownPeriodMs = 1000;

quint64 SteadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<quint64>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
} // namespace

CParvelWebcamView::CParvelWebcamView(const AppFolders& folders, const SettingsValues& values,
    FrameSourceFactory sources, QWidget* parent)
    : QWidget(parent)
    , folders_(folders)
    , values_(values)
    , sources_(sources)
{
    webcam_ = new CWebcamCtl(PathToQString(folders.systemDir), PathToQString(folders.photoDir), std::move(sources), this);
    webcam_->model().photos.SetCreatableDir(PathToQString(folders.creatablePhotoDir));
    webcam_->hide();
    connect(webcam_, &CWebcamCtl::cameraMissing, this, [this] { ShowNoCameraMessage(webcam_); });
    movie_ = new CWelcomeMovie(this);
    movie_->hide();

    ticks_ = SteadyMilliseconds;
    countdownTimer_ = new QTimer(this);
    // A coarse timer may fire a little early, which would take no step and make one second last
    // two.
    countdownTimer_->setTimerType(Qt::PreciseTimer);
    countdownTimer_->setInterval(kCountdownPeriodMs);
    connect(countdownTimer_, &QTimer::timeout, this, &CParvelWebcamView::CountdownStep);
    // A countdown never outlives the camera run it was started in.
    connect(webcam_, &CWebcamCtl::cameraSwitched, this, [this](bool running) {
        if (!running) {
            CancelCountdown();
            CancelBurst();
        }
    });

    burstTimer_ = new QTimer(this);
    burstTimer_->setSingleShot(true);
    burstTimer_->setTimerType(Qt::PreciseTimer);
    connect(burstTimer_, &QTimer::timeout, this, &CParvelWebcamView::BurstStep);
    connect(webcam_, &CWebcamCtl::shotTaken, this, &CParvelWebcamView::OnShotTaken);
}

void CParvelWebcamView::SetTickSource(TickSource ticks)
{
    ticks_ = ticks ? std::move(ticks) : TickSource(SteadyMilliseconds);
}

bool CParvelWebcamView::StartCountdown(int delaySeconds)
{
    if (!webcam_->cameraRunning())
        return false;
    // A delayed photo started meanwhile takes over the countdown from a burst.
    CancelBurst();
    countdownActive_ = true;
    countdownRemaining_ = std::max(delaySeconds, 0); // 0 or less: the photo at the first step
    countdownLastTick_ = ticks_();
    // Started after the tick is read, so its first notification cannot come before a full second.
    countdownTimer_->start();
    webcam_->ShowCountdown(countdownRemaining_);
    return true;
}

void CParvelWebcamView::CountdownStep()
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
        webcam_->HideCountdown();
        if (burstCounting_) {
            burstCounting_ = false;
            BeginBurstShots();
            return;
        }
        webcam_->model().photos.Request();
        webcam_->Flash();
        return;
    }
    webcam_->ShowCountdown(countdownRemaining_);
    // The next notification a full period after this step: the timer's own rhythm would come
    // a little less than a second after a late step and take no step.
    countdownTimer_->start();
}

void CParvelWebcamView::CancelCountdown()
{
    countdownActive_ = false;
    countdownTimer_->stop();
    webcam_->HideCountdown();
}

bool CParvelWebcamView::StartBurst(int delaySeconds)
{
    if (!StartCountdown(delaySeconds))
        return false;
    burstCounting_ = true;
    return true;
}

void CParvelWebcamView::BeginBurstShots()
{
    burstShots_ = {};
    burstArrived_ = 0;
    burstCollecting_ = true;
    burst_.Start();
    BurstStep();
}

void CParvelWebcamView::BurstStep()
{
    if (!burst_.running())
        return;
    const int shot = burst_.TakeDueShot();
    if (shot >= 0) {
        // Armed before the request, so the picture of this photo comes back as this shot.
        webcam_->model().shots.Arm(shot);
        webcam_->model().photos.Request();
        webcam_->Flash();
    }
    if (burst_.running()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(burst_.untilNextShot());
        burstTimer_->start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0)));
    }
}

void CParvelWebcamView::OnShotTaken(int shot, const QImage& picture)
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
        webcam_->model().photos.QueuePhoto(strip);
}

void CParvelWebcamView::CancelBurst()
{
    burstCounting_ = false;
    burst_.Cancel();
    burstTimer_->stop();
    burstShots_ = {};
    burstArrived_ = 0;
    burstCollecting_ = false;
    webcam_->model().shots.Disarm();
}

void CParvelWebcamView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size().isEmpty())
        return;
    if (!layoutDone_)
        FirstLayout();
    else if (sizeMode_ == kDisplayFit)
        ApplyDisplaySize();
}

void CParvelWebcamView::FirstLayout()
{
    if (values_.cameraDetected == 0 && !probeDone_)
        RunCameraProbe();
    // This run keeps the configured size, whatever the probe measured.
    webcam_->SetPictureSize(values_.imageWidth, values_.imageHeight);
    webcam_->SetDisplaySize(values_.imageWidth, values_.imageHeight);
    sizeMode_ = kDisplayFull;
    webcam_->move(0, 0);
    webcam_->show();
    webcam_->update();
    // Below the picture, at most 60 high; nothing when the view is shorter than the picture.
    // Later size changes move neither the picture nor this strip (except in the fitted size).
    const int bottom = std::clamp(height(), values_.imageHeight, values_.imageHeight + kMovieStripHeight);
    reservedMovieRect_ = QRect(0, values_.imageHeight, width(), bottom - values_.imageHeight);
    movie_->setGeometry(reservedMovieRect_);
    movie_->show();
    movie_->Play();
    layoutDone_ = true;
}

void CParvelWebcamView::RunCameraProbe()
{
    probeDone_ = true; // once per run, even if the layout is tried again
    const AppFolders& folders = folders_;
    const CameraProbeResult result = ProbeCamera(
        sources_, [&folders](int width, int height) { return StoreCameraProbe(folders, width, height).ok(); });
    // The first layout happens while the window is being shown; a modal box opened here would
    // run an event loop in the middle of showing it. The box follows right after.
    QMetaObject::invokeMethod(
        this, [this, result] { ShowCameraProbeResult(this, result); }, Qt::QueuedConnection);
}

QRect CParvelWebcamView::movieRect() const
{
    if (sizeMode_ != kDisplayFit)
        return reservedMovieRect_;
    const int stripHeight = std::min(reservedMovieRect_.height(), height());
    return QRect(0, height() - stripHeight, width(), stripHeight);
}

void CParvelWebcamView::SetDisplaySize(DisplaySize mode)
{
    if (mode == sizeMode_ || mode < kDisplayFull || mode > kDisplayFit)
        return;
    sizeMode_ = mode;
    ApplyDisplaySize();
    emit sizeModeChanged(mode);
}

int CParvelWebcamView::WidthToFillHeight() const
{
    const int room = std::max(height() - reservedMovieRect_.height(), 1);
    return static_cast<int>(static_cast<long long>(room) * values_.imageWidth / std::max(values_.imageHeight, 1));
}

void CParvelWebcamView::ApplyDisplaySize()
{
    if (!layoutDone_)
        return; // the first layout starts at full size anyway
    const int w = values_.imageWidth;
    const int h = values_.imageHeight;
    QRect shown(0, 0, w, h);
    switch (sizeMode_) {
    case kDisplayFull:
        break;
    case kDisplayThreeQuarters:
        shown.setSize({ w * 3 / 4, h * 3 / 4 });
        break;
    case kDisplayHalf:
        shown.setSize({ w / 2, h / 2 });
        break;
    case kDisplayFit: {
        const QRect strip = movieRect();
        shown = FitPictureRect({ w, h }, QRect(0, 0, width(), strip.top()));
        break;
    }
    }
    movie_->setGeometry(movieRect());
    if (webcam_->geometry() == shown)
        return; // a resize that leaves the fitted picture as it was
    webcam_->SetDisplaySize(shown.width(), shown.height());
    webcam_->move(shown.topLeft());
}

void CParvelWebcamView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void CParvelWebcamView::contextMenuEvent(QContextMenuEvent* event)
{
    // The rows are plain data: the program's table, built once, tells what the items say.
    static const CommandTable commands = BuildCommandTable();
    const std::unique_ptr<QMenu> menu(BuildEditMenu(commands, this));
    menu->exec(event->globalPos());
}

void CParvelWebcamView::OnFramePicked(const QString& path, int kind)
{
    OverlayStore& decorations = webcam_->model().overlays;
    const auto decision = DecorationCommands::FramePick(webcam_->cameraRunning(), decorations.frameShown());
    if (decision.action == DecorationCommands::PickAction::Apply)
        decorations.SetFrameImage(path, kind);
    else if (decision.action == DecorationCommands::PickAction::ShowMessage)
        Messages().Information(this, decision.message, DecorationCommands::MessageCaption());
}

void CParvelWebcamView::OnAddOnPicked(const QString& path, int kind)
{
    OverlayStore& decorations = webcam_->model().overlays;
    const auto decision = DecorationCommands::AddOnPick(webcam_->cameraRunning(), decorations.addOnsShown());
    if (decision.action == DecorationCommands::PickAction::Apply)
        decorations.AddAddOn(path, kind, webcam_->pictureWidth(), webcam_->pictureHeight());
    else if (decision.action == DecorationCommands::PickAction::ShowMessage)
        Messages().Information(this, decision.message, DecorationCommands::MessageCaption());
}
