#include "app/CParvelWebcamView.h"

#include "ui/MessageBoxes.h"
#include "ui/PathText.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/DecorationCommands.h"
#include "pipeline/PictureModel.h"

#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>

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
    , values_(values)
{
    webcam_ = new CWebcamCtl(PathToQString(folders.systemDir), PathToQString(folders.photoDir), std::move(sources), this);
    webcam_->hide();

    ticks_ = SteadyMilliseconds;
    countdownTimer_ = new QTimer(this);
    // A coarse timer may fire a little early, which would take no step and make one second last
    // two.
    countdownTimer_->setTimerType(Qt::PreciseTimer);
    countdownTimer_->setInterval(kCountdownPeriodMs);
    connect(countdownTimer_, &QTimer::timeout, this, &CParvelWebcamView::CountdownStep);
    // A countdown never outlives the camera run it was started in.
    connect(webcam_, &CWebcamCtl::cameraSwitched, this, [this](bool running) {
        if (!running)
            CancelCountdown();
    });
}

void CParvelWebcamView::SetTickSource(TickSource ticks)
{
    ticks_ = ticks ? std::move(ticks) : TickSource(SteadyMilliseconds);
}

bool CParvelWebcamView::StartCountdown(int delaySeconds)
{
    if (!webcam_->cameraRunning())
        return false;
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

void CParvelWebcamView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!layoutDone_ && !event->size().isEmpty())
        FirstLayout();
}

void CParvelWebcamView::FirstLayout()
{
    webcam_->SetPictureSize(values_.imageWidth, values_.imageHeight);
    webcam_->SetDisplaySize(values_.imageWidth, values_.imageHeight);
    sizeMode_ = kDisplayFull;
    webcam_->move(0, 0);
    webcam_->show();
    webcam_->update();
    // Later size changes move neither the picture nor this strip.
    const int bottom = std::min(height(), values_.imageHeight + kMovieStripHeight);
    movieRect_ = QRect(QPoint(0, values_.imageHeight), QPoint(width() - 1, bottom - 1));
    layoutDone_ = true;
}

void CParvelWebcamView::SetDisplaySize(DisplaySize mode)
{
    if (mode == sizeMode_ || mode < kDisplayFull || mode > kDisplayHalf)
        return;
    sizeMode_ = mode;
    int w = values_.imageWidth;
    int h = values_.imageHeight;
    if (mode == kDisplayThreeQuarters) {
        w = w * 3 / 4;
        h = h * 3 / 4;
    } else if (mode == kDisplayHalf) {
        w /= 2;
        h /= 2;
    }
    webcam_->SetDisplaySize(w, h);
    webcam_->move(0, 0);
}

void CParvelWebcamView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
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
