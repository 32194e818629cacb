#include "app/CParvelWebcamView.h"

#include "app/CWelcomeMovie.h"
#include "app/CameraProbeMessages.h"
#include "app/DisplayFit.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/capture/CameraProbe.h"
#include "settings/SettingsWorkbook.h"
#include "ui/PathText.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int kMovieStripHeight = 60;
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
    connect(&webcam_->session(), &PictureSession::cameraMissing, this, [this] { ShowNoCameraMessage(webcam_); });
    connect(&webcam_->session(), &PictureSession::cameraAgreed, this,
        [this](QSize size, double, bool, QSize) { AdoptPictureSize(size); });
    movie_ = new CWelcomeMovie(this);
    movie_->hide();
}

PictureSession& CParvelWebcamView::session() const
{
    return webcam_->session();
}

void CParvelWebcamView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size().isEmpty())
        return;
    if (!layoutDone_)
        FirstLayout();
    else if (sizeMode_ == kDisplayFit || alone_)
        ApplyDisplaySize();
}

void CParvelWebcamView::FirstLayout()
{
    if (values_.cameraDetected == 0 && !probeDone_)
        RunCameraProbe();
    webcam_->SetPictureSize(values_.imageWidth, values_.imageHeight);
    webcam_->SetDisplaySize(values_.imageWidth, values_.imageHeight);
    sizeMode_ = kDisplayFull;
    webcam_->move(0, 0);
    webcam_->show();
    webcam_->update();
    ReserveMovieStrip();
    movie_->setGeometry(reservedMovieRect_);
    movie_->show();
    movie_->Play();
    layoutDone_ = true;
    FitIfLargerThanScreen();
}

void CParvelWebcamView::FitIfLargerThanScreen()
{
    // A picture larger than the screen (a 1080p camera on a laptop) could never be seen whole at
    // its full size: it is fitted to the window instead.
    const QScreen* shownOn = screen();
    if (shownOn != nullptr
        && (values_.imageWidth > shownOn->availableGeometry().width()
            || values_.imageHeight > shownOn->availableGeometry().height()))
        SetDisplaySize(kDisplayFit);
}

void CParvelWebcamView::ReserveMovieStrip()
{
    // Below the picture, at most 60 high; nothing when the view is shorter than the picture.
    // Later size changes move neither the picture nor this strip (except in the fitted size).
    const int bottom = std::clamp(height(), values_.imageHeight, values_.imageHeight + kMovieStripHeight);
    reservedMovieRect_ = QRect(0, values_.imageHeight, width(), bottom - values_.imageHeight);
}

void CParvelWebcamView::AdoptPictureSize(QSize size)
{
    if (size.isEmpty() || size == pictureSize())
        return;
    values_.imageWidth = size.width();
    values_.imageHeight = size.height();
    // The workbook follows what the camera really gives; when it cannot be written the picture
    // still takes the size for this run.
    (void)StoreCameraProbe(folders_, size.width(), size.height());
    webcam_->SetPictureSize(size.width(), size.height());
    if (layoutDone_) {
        ReserveMovieStrip();
        const QRect shown = ShownRect();
        movie_->setGeometry(movieRect());
        webcam_->SetDisplaySize(shown.width(), shown.height()); // the mouse's scale changed too
        webcam_->move(shown.topLeft());
    }
    emit pictureSizeChanged(size);
    FitIfLargerThanScreen();
}

void CParvelWebcamView::RunCameraProbe()
{
    probeDone_ = true; // once per run, even if the layout is tried again
    const AppFolders& folders = folders_;
    const CameraProbeResult result = ProbeCamera(
        sources_, [&folders](int width, int height) { return StoreCameraProbe(folders, width, height).ok(); });
    // The measured size is used at once: the camera opens at it in this run already.
    if (result.outcome != CameraProbeResult::NoCamera && result.width > 0 && result.height > 0) {
        values_.imageWidth = result.width;
        values_.imageHeight = result.height;
        emit pictureSizeChanged(QSize(result.width, result.height));
    }
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

int CParvelWebcamView::WidthNeeded() const
{
    switch (sizeMode_) {
    case kDisplayThreeQuarters:
        return values_.imageWidth * 3 / 4;
    case kDisplayHalf:
        return values_.imageWidth / 2;
    case kDisplayFit:
        return WidthToFillHeight();
    case kDisplayFull:
        break;
    }
    return values_.imageWidth;
}

void CParvelWebcamView::SetPictureAlone(bool alone)
{
    if (alone == alone_)
        return;
    alone_ = alone;
    movie_->setVisible(!alone && layoutDone_);
    ApplyDisplaySize();
}

QRect CParvelWebcamView::ShownRect() const
{
    const int w = values_.imageWidth;
    const int h = values_.imageHeight;
    if (alone_)
        return FitPictureRect({ w, h }, rect());
    switch (sizeMode_) {
    case kDisplayThreeQuarters:
        return QRect(0, 0, w * 3 / 4, h * 3 / 4);
    case kDisplayHalf:
        return QRect(0, 0, w / 2, h / 2);
    case kDisplayFit:
        return FitPictureRect({ w, h }, QRect(0, 0, width(), movieRect().top()));
    case kDisplayFull:
        break;
    }
    return QRect(0, 0, w, h);
}

void CParvelWebcamView::ApplyDisplaySize()
{
    if (!layoutDone_)
        return; // the first layout starts at full size anyway
    const QRect shown = ShownRect();
    movie_->setGeometry(movieRect());
    if (webcam_->geometry() == shown)
        return; // a resize that leaves the fitted picture as it was
    webcam_->SetDisplaySize(shown.width(), shown.height());
    webcam_->move(shown.topLeft());
}

void CParvelWebcamView::paintEvent(QPaintEvent*)
{
    // Around the picture: the look's own background, so no black void is left below the strip;
    // the picture alone on the screen sits on black.
    QPainter painter(this);
    painter.fillRect(rect(), alone_ ? QBrush(Qt::black) : palette().window());
}

void CParvelWebcamView::contextMenuEvent(QContextMenuEvent* event)
{
    emit menuRequested(event->globalPos());
}
