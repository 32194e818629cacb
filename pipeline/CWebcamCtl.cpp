#include "pipeline/CWebcamCtl.h"

#include "decorations/ImageEx.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/stages/RegionSelect.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QTimer>
#include <QVariantAnimation>

#include <algorithm>

namespace {
// The flash starts at this share of white and fades out over the duration.
constexpr qreal kFlashStartOpacity = 0.85;
constexpr int kFlashMs = 200;
} // namespace

CWebcamCtl::CWebcamCtl(const QString& systemDir, const QString& photoDir, FrameSourceFactory sourceFactory,
    QWidget* parent)
    : QWidget(parent)
    , welcomeImage_(std::make_unique<ImageEx>(QDir(systemDir).filePath("welcome.gif")))
    , model_(systemDir, photoDir,
          [this](const PhotoResult& result) {
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
          },
          [this](const RecordingResult& result) {
              // Writer thread: queued, like the photos.
              QMetaObject::invokeMethod(
                  this,
                  [this, result] {
                      if (result.saved)
                          emit videoSaved(result.path, result.framesDropped);
                      else
                          emit recordingFailed(result.message);
                  },
                  Qt::QueuedConnection);
          },
          [this](const PhotoResult& result) {
              QMetaObject::invokeMethod(
                  this,
                  [this, result] {
                      if (result.saved)
                          emit gifSaved(result.path);
                      else
                          emit recordingFailed(result.message);
                  },
                  Qt::QueuedConnection);
          })
    , loop_(
          model_, std::move(sourceFactory), [this](QImage picture) { ShowOnInterfaceThread(std::move(picture)); },
          [this] { QMetaObject::invokeMethod(this, [this] { OnSourceLost(); }, Qt::QueuedConnection); })
{
    model_.shots.SetTaken([this](int shot, const QImage& picture) {
        // Presenter thread: queued, never waiting for the interface thread.
        QMetaObject::invokeMethod(this, [this, shot, picture] { emit shotTaken(shot, picture); }, Qt::QueuedConnection);
    });
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    photoClick_ = new QTimer(this);
    photoClick_->setSingleShot(true);
    connect(photoClick_, &QTimer::timeout, this, [this] {
        if (cameraRunning() && model_.settings.Snapshot().mouseMode == kMousePhoto)
            model_.photos.Request();
    });
    flash_ = new QVariantAnimation(this);
    flash_->setStartValue(kFlashStartOpacity);
    flash_->setEndValue(0.0);
    flash_->setDuration(kFlashMs);
    flash_->setEasingCurve(QEasingCurve::OutQuad);
    connect(flash_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        flashOpacity_ = value.toReal();
        update();
    });
    connect(flash_, &QVariantAnimation::finished, this, [this] {
        flashOpacity_ = 0.0;
        update();
    });
}

CWebcamCtl::~CWebcamCtl()
{
    ReleaseAll();
}

void CWebcamCtl::ReleaseAll()
{
    if (cameraRunning())
        StopCamera();
    loop_.StopAndJoin();
    StopRecording();
    welcomeImage_->Pause();
    welcomeImage_->Stop();
    model_.overlays.ReleaseAll();
}

void CWebcamCtl::SetPictureSize(int width, int height)
{
    loop_.SetPictureSize(width, height);
}

void CWebcamCtl::SetDisplaySize(int width, int height)
{
    loop_.SetDisplaySize(width, height);
    scaleX_ = static_cast<float>(pictureWidth()) / static_cast<float>(width);
    scaleY_ = static_cast<float>(pictureHeight()) / static_cast<float>(height);
    resize(width, height);
    // The welcome animation fills the area at whatever size it is shown.
    if (welcomeStarted_)
        welcomeImage_->SetTargetRect(rect());
    update();
}

QPoint CWebcamCtl::PicturePoint(QPoint client) const
{
    const cv::Point p = ClientToPicture({ client.x(), client.y() }, scaleX_, scaleY_);
    return { p.x, p.y };
}

bool CWebcamCtl::StartCamera()
{
    if (cameraRunning())
        return true;
    if (loop_.Start() == FrameLoop::StartResult::NoCamera) {
        emit cameraMissing();
        return false;
    }
    welcomeImage_->Pause();
    update();
    emit cameraSwitched(true);
    return true;
}

bool CWebcamCtl::StopCamera()
{
    loop_.Stop();
    // Nothing asked for while this run lasted may happen in a later one.
    photoClick_->stop();
    model_.photos.Cancel();
    model_.shots.Disarm();
    // A recording ends with the pictures it has: the file is finished, the GIF saved.
    StopRecording();
    model_.OnCameraStopped();
    welcomeImage_->Resume();
    update();
    emit cameraSwitched(false);
    return true;
}

void CWebcamCtl::OnSourceLost()
{
    if (!cameraRunning())
        return; // stopped meanwhile
    StopCamera();
    emit cameraLost();
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
    if (!cameraRunning() && welcomeImage_->ready())
        welcomeImage_->PaintInto(painter);
    if (faceBoxesShown_ && cameraRunning() && model_.faceStickers())
        PaintFaceBoxes(painter);
    if (recording())
        PaintRecordingBadge(painter);
    if (countdownShown_ > 0)
        PaintCountdown(painter);
    if (flashOpacity_ > 0.0) {
        QColor white(Qt::white);
        white.setAlphaF(static_cast<float>(flashOpacity_));
        painter.fillRect(rect(), white);
    }
}

void CWebcamCtl::ShowCountdown(int seconds)
{
    seconds = std::max(seconds, 0);
    if (seconds == countdownShown_)
        return;
    countdownShown_ = seconds;
    update();
}

void CWebcamCtl::Flash()
{
    flash_->stop();
    flashOpacity_ = kFlashStartOpacity;
    flash_->start();
    update();
}

void CWebcamCtl::PaintCountdown(QPainter& painter)
{
    const QString text = QString::number(countdownShown_);
    // The font is sized once per widget size and number of digits, not on every frame.
    if (size() != countdownFontArea_ || text.size() != countdownFontDigits_) {
        countdownFontArea_ = size();
        countdownFontDigits_ = text.size();
        countdownFont_ = font();
        countdownFont_.setBold(true);
        countdownFont_.setPixelSize(std::max(height() * 2 / 5, 8));
        const QFontMetrics metrics(countdownFont_);
        const int widest = metrics.horizontalAdvance(QString(text.size(), QLatin1Char('8')));
        const int room = width() * 4 / 5;
        if (widest > room && widest > 0)
            countdownFont_.setPixelSize(std::max(countdownFont_.pixelSize() * room / widest, 8));
    }
    painter.save();
    painter.setFont(countdownFont_);
    // A dark shadow keeps the white digits readable on a bright picture.
    const int offset = std::max(countdownFont_.pixelSize() / 30, 1);
    painter.setPen(QColor(0, 0, 0, 160));
    painter.drawText(rect().translated(offset, offset), Qt::AlignCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, text);
    painter.restore();
}

void CWebcamCtl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        photoClick_->stop(); // the press before it was half of this double-click
        if (cameraRunning())
            StopCamera();
        else
            StartCamera();
        // Not passed on: the base class would treat the double-click as one more press.
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void CWebcamCtl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !cameraRunning())
        return;
    const QPoint client = event->position().toPoint();
    const QPoint picture = PicturePoint(client);
    const PictureSettings s = model_.settings.Snapshot();
    switch (s.mouseMode) {
    case kMouseDragAddOns:
        model_.overlays.PointerDown();
        break;
    case kMouseDoodle:
        model_.doodle.BeginStroke({ picture.x(), picture.y() });
        break;
    case kMousePhoto:
        setCursor(Qt::PointingHandCursor);
        photoClick_->start(QApplication::doubleClickInterval());
        break;
    default:
        break;
    }
    if (s.regionArmed)
        BeginRegionSelection(client);
    if (s.flowManualAdd)
        model_.flow.RequestPoint({ picture.x(), picture.y() });
    QWidget::mousePressEvent(event);
}

void CWebcamCtl::mouseMoveEvent(QMouseEvent* event)
{
    if (!cameraRunning())
        return;
    const QPoint client = event->position().toPoint();
    if (selecting()) {
        rubberBand_->setGeometry(QRect(selectionStart_, client).normalized());
        return;
    }
    const QPoint picture = PicturePoint(client);
    const PictureSettings s = model_.settings.Snapshot();
    if (s.mouseMode == kMouseDragAddOns) {
        if (model_.overlays.PointerMove(picture.x(), picture.y()))
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
    } else if (s.mouseMode == kMouseDoodle && (event->buttons() & Qt::LeftButton)) {
        model_.doodle.ExtendStroke({ picture.x(), picture.y() }, s.paintColour, s.penWidth);
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
        const MouseMode mode = model_.settings.Snapshot().mouseMode;
        if (mode == kMouseDragAddOns)
            model_.overlays.PointerUp();
        else if (mode == kMouseDoodle)
            model_.doodle.EndStroke();
    }
    QWidget::mouseReleaseEvent(event);
}

void CWebcamCtl::BeginRegionSelection(QPoint client)
{
    if (!SelectionMayStartAt({ client.x(), client.y() }, { displayWidth(), displayHeight() }))
        return; // stays armed
    loop_.paused = true; // the picture stands still while the user drags
    if (!rubberBand_)
        rubberBand_ = new QRubberBand(QRubberBand::Rectangle, this);
    selectionStart_ = client;
    selecting_ = true;
    rubberBand_->setGeometry(QRect(client, QSize()));
    rubberBand_->show();
}

bool CWebcamCtl::CancelSelection()
{
    const bool dragging = selecting();
    if (dragging) {
        selecting_ = false;
        rubberBand_->hide();
    }
    const bool armed = model_.settings.Change([](PictureSettings& st) {
        const bool wasArmed = st.regionArmed;
        ApplySelectedRegion(st, std::nullopt, false);
        return wasArmed;
    });
    if (dragging)
        loop_.paused = false;
    return dragging || armed;
}

bool CWebcamCtl::TakePhotoNow()
{
    if (!cameraRunning())
        return false;
    model_.photos.Request();
    Flash();
    return true;
}

void CWebcamCtl::EndRegionSelection(QPoint client)
{
    selecting_ = false;
    rubberBand_->hide();
    const PictureSettings s = model_.settings.Snapshot();
    const auto region = RegionFromSelection({ selectionStart_.x(), selectionStart_.y() }, { client.x(), client.y() },
        scaleX_, scaleY_, { pictureWidth(), pictureHeight() }, s.flipMode);
    bool confirmed = false;
    if (region) {
        // The same question for both purposes; the loop stays paused until it is answered.
        confirmed = Messages().OkCancelQuestion(this, tr("确定放大选区？"), tr("提示信息")) == MessageChoice::Ok;
    }
    model_.settings.Change([&](PictureSettings& st) { ApplySelectedRegion(st, region, confirmed); });
    loop_.paused = false;
}

RecordingStart CWebcamCtl::StartRecording()
{
    if (!cameraRunning())
        return { false, {}, tr("请先开启摄像机") };
    // The installed program's photo folder is made by the first photo, or the first recording.
    const QString folder = model_.photos.PreparePhotoDir();
    // The loop takes at most one frame a pass, so its pass rate is the recording's rate.
    const double fps = 1000.0 / static_cast<double>(FrameLoop::kPassPeriod.count());
    RecordingStart start = model_.video.Start(folder, fps, { pictureWidth(), pictureHeight() });
    recordingMessage_ = start.started ? start.message : QString();
    update();
    return start;
}

void CWebcamCtl::StopRecording()
{
    // Both report their outcome through their own callbacks.
    model_.video.Stop();
    model_.gif.Stop();
    update();
}

QString CWebcamCtl::RecordingStatusText() const
{
    return recordingMessage_ + QStringLiteral("  ") + ElapsedText(model_.video.elapsed());
}

QString CWebcamCtl::ElapsedText(std::chrono::steady_clock::duration elapsed)
{
    const auto total = std::max<long long>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count(), 0);
    const long long hours = total / 3600;
    const QString minutesSeconds = QStringLiteral("%1:%2")
                                       .arg((total / 60) % 60, 2, 10, QLatin1Char('0'))
                                       .arg(total % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QStringLiteral("%1:").arg(hours) + minutesSeconds : minutesSeconds;
}

bool CWebcamCtl::StartGif(QString& message)
{
    if (!cameraRunning()) {
        message = tr("请先开启摄像机");
        return false;
    }
    if (!model_.gif.Start(model_.photos.PreparePhotoDir(), gifSeconds_, message))
        return false;
    message = tr("正在录制 %1 秒动图").arg(gifSeconds_);
    return true;
}

void CWebcamCtl::SetFaceBoxesShown(bool shown)
{
    faceBoxesShown_ = shown;
    update();
}

void CWebcamCtl::PaintFaceBoxes(QPainter& painter)
{
    painter.save();
    painter.setPen(QPen(QColor(0, 255, 0), 2));
    painter.setBrush(Qt::NoBrush);
    for (const TrackedFace& face : model_.faces.Faces(FaceTracker::Now())) {
        const QRectF box(face.box.x / scaleX_, face.box.y / scaleY_, face.box.width / scaleX_,
            face.box.height / scaleY_);
        painter.drawRect(box);
        painter.drawText(box.topLeft() + QPointF(3, -4), QString::number(face.id));
    }
    painter.restore();
}

void CWebcamCtl::PaintRecordingBadge(QPainter& painter)
{
    // A red dot and the time at the top left, on the screen only: the file gets the bare picture.
    const int dot = std::clamp(height() / 24, 8, 24);
    const int margin = dot;
    QFont badgeFont = font();
    badgeFont.setBold(true);
    badgeFont.setPixelSize(dot * 3 / 2);
    const QString text = ElapsedText(model_.video.elapsed());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 0, 0));
    painter.drawEllipse(QRect(margin, margin, dot, dot));
    painter.setFont(badgeFont);
    const QRect textRect(margin + dot * 3 / 2, margin - dot, width(), dot * 3);
    // A dark shadow keeps the white time readable on a bright picture.
    painter.setPen(QColor(0, 0, 0, 160));
    painter.drawText(textRect.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.restore();
}
