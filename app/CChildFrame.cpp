#include "app/CChildFrame.h"

#include "app/CParvelWebcamView.h"
#include "decorations/CFrameView.h"
#include "pipeline/CWebcamCtl.h"

#include <QHBoxLayout>
#include <QResizeEvent>
#include <QSplitter>

#include <algorithm>

namespace {
// What the side pane keeps beside a fitted picture, so its thumbnails stay usable.
constexpr int kPaneWidthBesideFit = 240;

PaneFolders PaneFoldersOf(const AppFolders& folders)
{
    return { folders.frameDir, folders.addOnDir, folders.photoDir };
}
} // namespace

CChildFrame::CChildFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
    QSize mainClientSize, QWidget* parent)
    : QWidget(parent)
{
    splitter_ = new QSplitter(Qt::Horizontal, this);
    view_ = new CParvelWebcamView(folders, values, std::move(sources), splitter_);
    pane_ = new CFrameView(PaneFoldersOf(folders), DecorationKind::Png, DecorationKind::Gif, splitter_);
    splitter_->addWidget(view_);
    splitter_->addWidget(pane_);
    splitter_->setChildrenCollapsible(false);
    view_->setMinimumHeight(50);
    // The picture's width on the left, the rest of the window for the pane; growing the window
    // widens the pane.
    imageWidth_ = values.imageWidth;
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({ values.imageWidth, std::max(mainClientSize.width() - values.imageWidth, 100) });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter_);

    connect(view_, &CParvelWebcamView::sizeModeChanged, this, &CChildFrame::OnDisplaySizeChanged);
    connect(pane_, &CFrameView::framePicked, view_, &CParvelWebcamView::OnFramePicked);
    connect(pane_, &CFrameView::addOnPicked, view_, &CParvelWebcamView::OnAddOnPicked);
    connect(view_->webcam(), &CWebcamCtl::photoSaved, pane_, &CFrameView::OnPhotoSaved);
    connect(view_->webcam(), &CWebcamCtl::videoSaved, pane_, &CFrameView::OnPhotoSaved);
    connect(view_->webcam(), &CWebcamCtl::gifSaved, pane_, &CFrameView::OnPhotoSaved);
}

void CChildFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!splitDone_ && !event->size().isEmpty()) {
        splitDone_ = true;
        const int rest = event->size().width() - imageWidth_ - splitter_->handleWidth();
        splitter_->setSizes({ imageWidth_, std::max(rest, 1) });
    }
}

void CChildFrame::OnDisplaySizeChanged(DisplaySize mode)
{
    const bool fit = mode == kDisplayFit;
    if (fit == pictureFitted_)
        return; // between the fixed sizes the split stays as the user left it
    pictureFitted_ = fit;
    const int total = splitter_->width() - splitter_->handleWidth();
    int viewWidth = imageWidth_;
    if (fit) {
        // As wide as the picture needs to fill the height, leaving the pane its share; a
        // picture wider than the window shrinks rather than push the pane out of sight.
        const int widest = std::max(total - kPaneWidthBesideFit, 1);
        viewWidth = std::clamp(view_->WidthToFillHeight(), std::min(imageWidth_, widest), widest);
    }
    splitter_->setStretchFactor(0, fit ? 1 : 0);
    splitter_->setStretchFactor(1, fit ? 0 : 1);
    splitter_->setSizes({ viewWidth, std::max(total - viewWidth, 1) });
}
