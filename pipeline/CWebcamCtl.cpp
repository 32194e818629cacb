#include "pipeline/CWebcamCtl.h"

#include "decorations/ImageEx.h"
#include "pipeline/FunEffectNames.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/stages/RegionSelect.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

CWebcamCtl::CWebcamCtl(const QString& systemDir, const QString& photoDir, FrameSourceFactory sourceFactory,
    QWidget* parent)
    : QWidget(parent)
    , welcomeImage_(std::make_unique<ImageEx>(QDir(systemDir).filePath("welcome.gif")))
    , session_(systemDir, photoDir, std::move(sourceFactory))
    , flash_(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    photoClick_ = new QTimer(this);
    photoClick_->setSingleShot(true);
    connect(photoClick_, &QTimer::timeout, this, [this] {
        if (model().settings.Snapshot().mouseMode == kMousePhoto)
            session_.TakeClickPhoto();
    });
    connect(&session_, &PictureSession::framePresented, this, qOverload<>(&QWidget::update));
    connect(&session_, &PictureSession::cameraSwitched, this, &CWebcamCtl::OnCameraSwitched);
    connect(&session_, &PictureSession::countdownChanged, this, &CWebcamCtl::ShowCountdown);
    connect(&session_, &PictureSession::learningCountdownChanged, this, &CWebcamCtl::ShowLearningCountdown);
    connect(&session_, &PictureSession::flashRequested, this, &CWebcamCtl::Flash);
    // The red dot and the face boxes come and go with these.
    connect(&session_, &PictureSession::stateChanged, this, qOverload<>(&QWidget::update));
}

CWebcamCtl::~CWebcamCtl()
{
    ReleaseAll();
}

void CWebcamCtl::ReleaseAll()
{
    session_.ReleaseAll();
    welcomeImage_->Pause();
    welcomeImage_->Stop();
}

void CWebcamCtl::SetDisplaySize(int width, int height)
{
    session_.SetDisplaySize(width, height);
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

void CWebcamCtl::OnCameraSwitched(bool running)
{
    if (running) {
        welcomeImage_->Pause();
    } else {
        // A click photo asked for while this run lasted may not happen in a later one.
        photoClick_->stop();
        welcomeImage_->Resume();
    }
    update();
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
    const QImage shown = session_.shownImage();
    if (shown.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, shown);
    // While stopped the welcome animation plays over whatever was shown last.
    if (!cameraRunning() && welcomeImage_->ready())
        welcomeImage_->PaintInto(painter);
    if (previewShown()) {
        std::vector<TileLabel> labels;
        for (const FunPreviewTile& tile : model().funPreview.tiles())
            labels.push_back({ QRect(tile.rect.x, tile.rect.y, tile.rect.width, tile.rect.height),
                FunPreviewLabel(tile.effect) });
        PaintTileLabels(painter, labels, font());
        const PagerLayout pager = pagerLayout();
        if (!pager.backing.isEmpty())
            PaintPager(painter, pager, font(), model().funPreview.page(), FunPreviewPageCount(), pagerHovered_,
                pagerPressed_);
    }
    else if (session_.faceBoxesShown() && cameraRunning() && model().faceStickers())
        PaintFaceBoxes(painter, model().ShownFaces(session_.faceSeconds()), scaleX_, scaleY_);
    if (session_.recording())
        PaintRecordingBadge(painter, rect(), font(), session_.recordingElapsed());
    else if (model().gif.collecting() && model().gif.framesWanted() > 0) {
        // A GIF being taken is marked as a video is, with how much of it is taken.
        const std::chrono::seconds wanted(session_.gifSeconds());
        PaintGifBadge(painter, rect(), font(), wanted * model().gif.framesCollected() / model().gif.framesWanted(),
            wanted);
    }
    if (countdownShown_ > 0)
        countdownPainter_.Paint(painter, rect(), font(), countdownShown_);
    else if (learningShown_ > 0)
        countdownPainter_.Paint(painter, rect(), font(), learningShown_, tr("请离开画面"));
    flash_.Paint(painter, rect());
}

void CWebcamCtl::ShowCountdown(int seconds)
{
    seconds = std::max(seconds, 0);
    if (seconds == countdownShown_)
        return;
    countdownShown_ = seconds;
    update();
}

void CWebcamCtl::ShowLearningCountdown(int seconds)
{
    seconds = std::max(seconds, 0);
    if (seconds == learningShown_)
        return;
    learningShown_ = seconds;
    update();
}

void CWebcamCtl::Flash()
{
    flash_.Start();
    update();
}

PagerLayout CWebcamCtl::pagerLayout() const
{
    if (!previewShown() || FunPreviewPageCount() <= 1)
        return {};
    return LayOutPager(rect(), font());
}

bool CWebcamCtl::PagerPress(QPoint client)
{
    const PagerPart part = PagerPartAt(pagerLayout(), client);
    if (part == PagerPart::None)
        return false;
    // The control lies over a tile: a press on any of it is the control's and picks nothing.
    pagerPressed_ = part == PagerPart::Page ? PagerPart::None : part;
    update();
    return true;
}

void CWebcamCtl::SetPagerHovered(PagerPart part)
{
    if (part == PagerPart::Page)
        part = PagerPart::None;
    if (part == pagerHovered_)
        return;
    pagerHovered_ = part;
    if (part == PagerPart::None)
        unsetCursor();
    else
        setCursor(Qt::PointingHandCursor);
    update();
}

bool CWebcamCtl::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const PagerLayout pager = pagerLayout();
        const PagerPart part = PagerPartAt(pager, help->pos());
        if (part == PagerPart::Back)
            QToolTip::showText(help->globalPos(), tr("上一页（←）"), this, pager.back);
        else if (part == PagerPart::Next)
            QToolTip::showText(help->globalPos(), tr("下一页（→）"), this, pager.next);
        else
            QToolTip::hideText();
        return true;
    }
    if (event->type() == QEvent::Leave)
        SetPagerHovered(PagerPart::None);
    return QWidget::event(event);
}

void CWebcamCtl::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Quick clicks on a page button turn two pages; they never switch the camera.
    if (event->button() == Qt::LeftButton && previewShown() && PagerPress(event->position().toPoint())) {
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        photoClick_->stop(); // the press before it was half of this double-click
        emit cameraToggleRequested();
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
    if (previewShown()) {
        if (PagerPress(client)) {
            event->accept();
            return;
        }
        // The grid covers the picture: a click picks, and nothing under the grid hears it.
        if (const std::optional<FunEffect> picked = model().funPreview.EffectAt({ client.x(), client.y() }))
            emit funEffectPicked(*picked);
        event->accept();
        return;
    }
    const QPoint picture = PicturePoint(client);
    const PictureSettings s = model().settings.Snapshot();
    switch (s.mouseMode) {
    case kMouseDragAddOns:
        model().overlays.PointerDown();
        break;
    case kMouseDoodle:
        model().doodle.BeginStroke({ picture.x(), picture.y() });
        break;
    case kMousePhoto:
        setCursor(Qt::PointingHandCursor);
        photoClick_->start(QApplication::doubleClickInterval());
        break;
    case kMousePickKey:
        // The worker takes the colour from its next frame and ends the pick.
        model().backdrop.PickColourAt({ picture.x(), picture.y() });
        break;
    default:
        break;
    }
    if (s.regionArmed)
        BeginRegionSelection(client);
    if (s.flowManualAdd)
        model().flow.RequestPoint({ picture.x(), picture.y() });
    QWidget::mousePressEvent(event);
}

void CWebcamCtl::mouseMoveEvent(QMouseEvent* event)
{
    SetPagerHovered(previewShown() ? PagerPartAt(pagerLayout(), event->position().toPoint()) : PagerPart::None);
    if (!cameraRunning() || previewShown())
        return;
    const QPoint client = event->position().toPoint();
    if (selecting()) {
        rubberBand_->setGeometry(QRect(selectionStart_, client).normalized());
        return;
    }
    const QPoint picture = PicturePoint(client);
    const PictureSettings s = model().settings.Snapshot();
    if (s.mouseMode == kMouseDragAddOns) {
        if (model().overlays.PointerMove(picture.x(), picture.y()))
            setCursor(Qt::PointingHandCursor);
        else
            unsetCursor();
    } else if (s.mouseMode == kMouseDoodle && (event->buttons() & Qt::LeftButton)) {
        model().doodle.ExtendStroke({ picture.x(), picture.y() }, s.paintColour, s.penWidth);
    }
    // Aiming at the cloth: a cross shows which point is taken. The pick ends on the worker, so
    // the cross goes at the first move after it.
    if (s.mouseMode == kMousePickKey)
        setCursor(Qt::CrossCursor);
    else if (cursor().shape() == Qt::CrossCursor)
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void CWebcamCtl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && pagerPressed_ != PagerPart::None) {
        // A button acts when let go on it, as every button does.
        const PagerPart pressed = std::exchange(pagerPressed_, PagerPart::None);
        update();
        if (previewShown() && PagerPartAt(pagerLayout(), event->position().toPoint()) == pressed)
            emit funPreviewPageRequested(pressed == PagerPart::Back ? -1 : 1);
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        if (selecting()) {
            EndRegionSelection(event->position().toPoint());
            return;
        }
        // Also while stopped: a release always ends what a press began.
        const MouseMode mode = model().settings.Snapshot().mouseMode;
        if (mode == kMouseDragAddOns)
            model().overlays.PointerUp();
        else if (mode == kMouseDoodle)
            model().doodle.EndStroke();
    }
    QWidget::mouseReleaseEvent(event);
}

void CWebcamCtl::BeginRegionSelection(QPoint client)
{
    if (!SelectionMayStartAt({ client.x(), client.y() }, { displayWidth(), displayHeight() }))
        return; // stays armed
    session_.SetPaused(true); // the picture stands still while the user drags
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
    const bool armed = model().settings.Change([](PictureSettings& st) {
        const bool wasArmed = st.regionArmed;
        ApplySelectedRegion(st, std::nullopt, false);
        return wasArmed;
    });
    if (dragging)
        session_.SetPaused(false);
    return dragging || armed;
}

void CWebcamCtl::EndRegionSelection(QPoint client)
{
    selecting_ = false;
    rubberBand_->hide();
    const PictureSettings s = model().settings.Snapshot();
    const auto region = RegionFromSelection({ selectionStart_.x(), selectionStart_.y() }, { client.x(), client.y() },
        scaleX_, scaleY_, { pictureWidth(), pictureHeight() }, s.flipMode);
    bool confirmed = false;
    if (region) {
        // The question says what will happen; the loop stays paused until it is answered.
        const QString question = s.regionPurpose == kRegionEffect ? tr("确定只在选区内显示特效？")
                                                                  : tr("确定放大选区？");
        confirmed = Messages().OkCancelQuestion(this, question, tr("提示信息")) == MessageChoice::Ok;
    }
    model().settings.Change([&](PictureSettings& st) { ApplySelectedRegion(st, region, confirmed); });
    session_.SetPaused(false);
}

void CWebcamCtl::wheelEvent(QWheelEvent* event)
{
    if (!previewShown()) {
        QWidget::wheelEvent(event);
        return;
    }
    // One page a notch (120 eighths of a degree); fine-grained wheels add up to a notch.
    wheelTurn_ += event->angleDelta().y();
    while (wheelTurn_ <= -120) {
        wheelTurn_ += 120;
        session_.TurnFunPreviewPage(1);
    }
    while (wheelTurn_ >= 120) {
        wheelTurn_ -= 120;
        session_.TurnFunPreviewPage(-1);
    }
    event->accept();
}
