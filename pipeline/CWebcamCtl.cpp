#include "pipeline/CWebcamCtl.h"

#include "decorations/ImageEx.h"
#include "decorations/MessageBoxes.h"
#include "pipeline/Overlays.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/Present.h"
#include "pipeline/ProcessFrame.h"
#include "pipeline/RegionSelect.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <opencv2/imgproc.hpp>

#include <cmath>

std::atomic<int> CWebcamCtl::runningCount_ { 0 };

namespace {
constexpr auto kPassWait = std::chrono::milliseconds(33);
}

CWebcamCtl::CWebcamCtl(const QString& systemDir, const QString& photoDir, FrameSourceFactory sourceFactory,
    QWidget* parent)
    : QWidget(parent)
    , sourceFactory_(std::move(sourceFactory))
    , welcomeImage_(std::make_unique<ImageEx>(QDir(systemDir).filePath("welcome.gif")))
    , decorations_(QDir(systemDir).filePath("loogo.png"))
    , photos_(photoDir, [this](const PhotoResult& result) {
        // Worker thread: queued, never waiting for the interface thread.
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                if (result.saved)
                    emit photoSaved(result.path);
                else
                    emit photoFailed(result.message);
            },
            Qt::QueuedConnection);
    })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

CWebcamCtl::~CWebcamCtl()
{
    ReleaseAll();
}

void CWebcamCtl::ReleaseAll()
{
    if (cameraRunning_)
        StopCamera();
    if (frameThread_.joinable())
        frameThread_.join();
    welcomeImage_->Pause();
    welcomeImage_->Stop();
    decorations_.ReleaseAll();
}

void CWebcamCtl::SetPictureSize(int width, int height)
{
    pictureWidth_ = width;
    pictureHeight_ = height;
}

void CWebcamCtl::SetDisplaySize(int width, int height)
{
    displayWidth_ = width;
    displayHeight_ = height;
    scaleX_ = static_cast<float>(pictureWidth_) / static_cast<float>(width);
    scaleY_ = static_cast<float>(pictureHeight_) / static_cast<float>(height);
    resize(width, height);
    update();
}

QPoint CWebcamCtl::PicturePoint(QPoint client) const
{
    // The float product plus one half, truncated toward zero.
    const float px = scaleX_ * static_cast<float>(client.x()) + 0.5f;
    const float py = scaleY_ * static_cast<float>(client.y()) + 0.5f;
    return { static_cast<int>(std::trunc(px)), static_cast<int>(std::trunc(py)) };
}

bool CWebcamCtl::workerAlive() const
{
    std::scoped_lock lock(runMutex_);
    return workerAlive_;
}

bool CWebcamCtl::StartCamera()
{
    if (cameraRunning_)
        return true;
    std::unique_ptr<FrameSource> source;
    bool noCamera = false;
    {
        std::scoped_lock lock(runMutex_);
        if (!workerAlive_) {
            source = sourceFactory_ ? sourceFactory_() : nullptr;
            noCamera = !source || !source->Open();
        }
        // Otherwise the previous worker has not yet seen the stop: it keeps its camera and goes on.
        if (!noCamera)
            cameraRunning_ = true;
    }
    if (noCamera) {
        if (source)
            source->Release();
        Messages().Question(this, tr("未找到摄像设备\n内置摄像头是否禁用或USB摄像头未插入?"),
            MessageBoxes::DefaultCaption());
        return false;
    }
    ++runningCount_;
    welcomeImage_->Pause();
    {
        std::scoped_lock guard(drawLock_);
        workFrame_.create(std::max(pictureHeight_.load(), 1), std::max(pictureWidth_.load(), 1), CV_8UC3);
        workFrame_.setTo(cv::Scalar::all(0));
    }
    doodle.Clear(cv::Size(workFrame_.cols, workFrame_.rows));
    if (source) {
        if (frameThread_.joinable())
            frameThread_.join(); // it has already left its loop: this only collects it
        {
            std::scoped_lock lock(runMutex_);
            workerAlive_ = true;
        }
        ++workersStarted_;
        frameThread_ = std::thread(&CWebcamCtl::FrameLoop, this, std::move(source));
    }
    update();
    return true;
}

bool CWebcamCtl::StopCamera()
{
    {
        std::scoped_lock lock(runMutex_);
        if (cameraRunning_)
            --runningCount_;
        cameraRunning_ = false;
    }
    runChanged_.notify_all();
    settings.Change([](PictureSettings& s) { OnCameraStopped(s); });
    decorations_.ResumeFrameAnimation();
    welcomeImage_->Resume();
    update();
    return true;
}

void CWebcamCtl::FrameLoop(std::unique_ptr<FrameSource> source)
{
    cv::Mat raw;
    for (;;) {
        {
            std::scoped_lock lock(runMutex_);
            if (!cameraRunning_) {
                // Released before the worker counts as gone, so a new start can open the camera.
                source->Release();
                workerAlive_ = false;
                return;
            }
        }
        if (!loopPaused && source->Read(raw) && !raw.empty()) {
            const PictureSettings snapshot = settings.Snapshot();
            std::scoped_lock guard(drawLock_);
            TakeIntoWorkFrame(raw, snapshot);
            ProcessFrame(workFrame_, snapshot);
            PresentFrame(workFrame_);
        }
        std::unique_lock lock(runMutex_);
        runChanged_.wait_for(lock, kPassWait, [this] { return !cameraRunning_; });
    }
}

void CWebcamCtl::TakeIntoWorkFrame(const cv::Mat& raw, const PictureSettings& snapshot)
{
    cv::Mat bgr = raw;
    if (raw.type() != CV_8UC3) {
        // Some sources deliver grey or 4-channel frames; the stages work on BGR.
        if (raw.channels() == 1)
            cv::cvtColor(raw, bgr, cv::COLOR_GRAY2BGR);
        else if (raw.channels() == 4)
            cv::cvtColor(raw, bgr, cv::COLOR_BGRA2BGR);
        else
            return;
    }
    TakeWorkFrame(bgr, workFrame_, ZoomInForce(snapshot));
}

void CWebcamCtl::ProcessFrame(cv::Mat& frame, const PictureSettings& snapshot)
{
    ::ProcessFrame(frame, snapshot, flow, doodle, grainRandom_);
}

void CWebcamCtl::PresentFrame(const cv::Mat& frame)
{
    FillPictureFromFrame(frame, picture_);
    decorations_.DrawOverlays(picture_);
    ShowOnInterfaceThread(displayBuffers_.Stretch(picture_, QSize(displayWidth_, displayHeight_)));
    // The photo is the unscaled composed picture.
    photos_.SavePhotoIfRequested(picture_);
}

void CWebcamCtl::ShowOnInterfaceThread(QImage image)
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
            update();
            emit framePresented();
        },
        Qt::QueuedConnection);
}

void CWebcamCtl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!welcomeStarted_) {
        welcomeImage_->targetRect = rect();
        welcomeImage_->targetWindow = this;
        welcomeImage_->mode = ImageEx::PaintIntoWindow;
        if (welcomeImage_->ready())
            welcomeImage_->AnimateInto();
        welcomeStarted_ = true;
    }
    if (shownImage_.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, shownImage_);
    // While stopped the welcome animation plays over whatever was shown last.
    if (!cameraRunning_ && welcomeImage_->ready())
        welcomeImage_->PaintInto(painter);
}

void CWebcamCtl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (cameraRunning_)
            StopCamera();
        else
            StartCamera();
    }
    QWidget::mouseDoubleClickEvent(event);
}

void CWebcamCtl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !cameraRunning_)
        return;
    const QPoint client = event->position().toPoint();
    const QPoint picture = PicturePoint(client);
    const PictureSettings s = settings.Snapshot();
    switch (s.mouseMode) {
    case kMouseDragAddOns:
        decorations_.PointerDown();
        break;
    case kMouseDoodle:
        doodle.BeginStroke({ picture.x(), picture.y() });
        break;
    case kMousePhoto:
        setCursor(Qt::PointingHandCursor);
        photos_.Request();
        break;
    default:
        break;
    }
    if (s.regionArmed)
        BeginRegionSelection(client);
    if (s.flowManualAdd)
        flow.RequestPoint({ picture.x(), picture.y() });
    QWidget::mousePressEvent(event);
}

void CWebcamCtl::mouseMoveEvent(QMouseEvent* event)
{
    if (!cameraRunning_)
        return;
    const QPoint client = event->position().toPoint();
    if (selecting()) {
        rubberBand_->setGeometry(QRect(selectionStart_, client).normalized());
        return;
    }
    const QPoint picture = PicturePoint(client);
    const PictureSettings s = settings.Snapshot();
    if (s.mouseMode == kMouseDragAddOns) {
        if (decorations_.PointerMove(picture.x(), picture.y()))
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
    } else if (s.mouseMode == kMouseDoodle && (event->buttons() & Qt::LeftButton)) {
        doodle.ExtendStroke({ picture.x(), picture.y() }, s.paintColour, s.penWidth);
    }
    QWidget::mouseMoveEvent(event);
}

void CWebcamCtl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (selecting()) {
            EndRegionSelection(event->position().toPoint());
            return;
        }
        // Also while stopped: a release always ends what a press began.
        const int mode = settings.Snapshot().mouseMode;
        if (mode == kMouseDragAddOns)
            decorations_.PointerUp();
        else if (mode == kMouseDoodle)
            doodle.EndStroke();
    }
    QWidget::mouseReleaseEvent(event);
}

void CWebcamCtl::BeginRegionSelection(QPoint client)
{
    if (!SelectionMayStartAt({ client.x(), client.y() }, { displayWidth_, displayHeight_ }))
        return; // stays armed
    loopPaused = true; // the picture stands still while the user drags
    if (!rubberBand_)
        rubberBand_ = new QRubberBand(QRubberBand::Rectangle, this);
    selectionStart_ = client;
    selecting_ = true;
    rubberBand_->setGeometry(QRect(client, QSize()));
    rubberBand_->show();
}

void CWebcamCtl::EndRegionSelection(QPoint client)
{
    selecting_ = false;
    rubberBand_->hide();
    const PictureSettings s = settings.Snapshot();
    const auto region = RegionFromSelection({ selectionStart_.x(), selectionStart_.y() }, { client.x(), client.y() },
        scaleX_, scaleY_, { pictureWidth_, pictureHeight_ }, s.flipMode);
    bool confirmed = false;
    if (region) {
        // The same question for both purposes; the loop stays paused until it is answered.
        confirmed = Messages().OkCancelQuestion(this, tr("确定放大选区？"), tr("提示信息")) == MessageChoice::Ok;
    }
    settings.Change([&](PictureSettings& st) { ApplySelectedRegion(st, region, confirmed); });
    loopPaused = false;
}
