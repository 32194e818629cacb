#include "app/CChildFrame.h"

#include "app/CParvelWebcamView.h"
#include "decorations/CFrameView.h"
#include "pipeline/CWebcamCtl.h"

#include <QHBoxLayout>
#include <QResizeEvent>
#include <QSplitter>

namespace {
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

    connect(pane_, &CFrameView::framePicked, view_, &CParvelWebcamView::OnFramePicked);
    connect(pane_, &CFrameView::addOnPicked, view_, &CParvelWebcamView::OnAddOnPicked);
    connect(view_->webcam(), &CWebcamCtl::photoSaved, pane_, &CFrameView::OnPhotoSaved);
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
