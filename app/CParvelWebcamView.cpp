#include "app/CParvelWebcamView.h"

#include "ui/MessageBoxes.h"
#include "ui/PathText.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/DecorationCommands.h"
#include "pipeline/PictureModel.h"

#include <QPainter>
#include <QResizeEvent>

namespace {
constexpr int kMovieStripHeight = 60;
}

CParvelWebcamView::CParvelWebcamView(const AppFolders& folders, const SettingsValues& values,
    FrameSourceFactory sources, QWidget* parent)
    : QWidget(parent)
    , values_(values)
{
    webcam_ = new CWebcamCtl(PathToQString(folders.systemDir), PathToQString(folders.photoDir), std::move(sources), this);
    webcam_->hide();
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
