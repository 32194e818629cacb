#include "app/CChildFrame.h"

#include "app/CParvelWebcamView.h"
#include "decorations/CFrameView.h"
#include "pipeline/CWebcamCtl.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPalette>
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
    // The handle stays at the window's edge while the pane is folded away: a double-click on it
    // brings the pane back, as dragging it out does.
    splitter_->handle(1)->installEventFilter(this);
    SayWhatTheHandleDoes();
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = splitter_->sizes();
        if (sizes.size() == 2 && (sizes[1] == 0) != paneFolded_)
            SetFolded(sizes[1] == 0);
    });

    connect(view_, &CParvelWebcamView::sizeModeChanged, this, &CChildFrame::OnDisplaySizeChanged);
    connect(view_, &CParvelWebcamView::pictureSizeChanged, this, &CChildFrame::OnPictureSizeChanged);
    PictureSession& session = view_->session();
    connect(&session, &PictureSession::photoSaved, pane_, &CFrameView::OnPhotoSaved);
    connect(&session, &PictureSession::videoSaved, pane_, &CFrameView::OnPhotoSaved);
    connect(&session, &PictureSession::gifSaved, pane_, &CFrameView::OnPhotoSaved);
}

void CChildFrame::SetPhotoFolder(const std::filesystem::path& folder)
{
    PaneFolders folders = pane_->folders();
    folders.photos = folder;
    pane_->SetFolders(folders);
}

void CChildFrame::SetFrameFolder(const std::filesystem::path& folder)
{
    PaneFolders folders = pane_->folders();
    folders.frames = folder;
    pane_->SetFolders(folders);
}

void CChildFrame::SetAddOnFolder(const std::filesystem::path& folder)
{
    PaneFolders folders = pane_->folders();
    folders.addOns = folder;
    pane_->SetFolders(folders);
}

void CChildFrame::ListPhotosAgain()
{
    pane_->OnPhotoSaved();
}

DecorationKind CChildFrame::frameKind() const
{
    return pane_->frameKind();
}

DecorationKind CChildFrame::addOnKind() const
{
    return pane_->addOnKind();
}

void CChildFrame::ListFrames(DecorationKind kind)
{
    pane_->ReloadFrameStrip(static_cast<int>(kind));
}

void CChildFrame::ListAddOns(DecorationKind kind)
{
    pane_->ReloadAddOnStrip(static_cast<int>(kind));
}

bool CChildFrame::paneShown() const
{
    return !paneFolded_;
}

void CChildFrame::ShowPane(bool shown)
{
    if (shown != paneFolded_)
        return;
    const int total = splitter_->width() - splitter_->handleWidth();
    if (!shown) {
        const QList<int> sizes = splitter_->sizes();
        if (sizes.size() == 2 && sizes[1] > 0)
            paneWidthBeforeHiding_ = sizes[1];
        SetFolded(true);
        splitter_->setSizes({ std::max(total, 1), 0 });
        return;
    }
    SetFolded(false);
    // Back at its width, unless the window has become too narrow for it beside the picture.
    const int width = paneWidthBeforeHiding_ > 0 ? paneWidthBeforeHiding_ : kPaneWidthBesideFit;
    const int paneWidth = std::clamp(width, 1, std::max(total - kPaneWidthBesideFit, 1));
    splitter_->setSizes({ std::max(total - paneWidth, 1), paneWidth });
}

void CChildFrame::SetFolded(bool folded)
{
    paneFolded_ = folded;
    // Folded, all the room goes to the picture's side; otherwise as the display size wants it.
    const bool viewGrows = folded || pictureFitted_;
    splitter_->setStretchFactor(0, viewGrows ? 1 : 0);
    splitter_->setStretchFactor(1, viewGrows ? 0 : 1);
    // At the window's edge the handle would look like the empty room beside the picture: a
    // darker tone shows where the pane went.
    QSplitterHandle* handle = splitter_->handle(1);
    handle->setAutoFillBackground(folded);
    QPalette tone;
    if (folded)
        tone.setColor(QPalette::Window, handle->palette().color(QPalette::Mid));
    handle->setPalette(tone);
}

void CChildFrame::SayWhatTheHandleDoes()
{
    splitter_->handle(1)->setToolTip(tr("双击可收起或展开侧边栏"));
}

void CChildFrame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        SayWhatTheHandleDoes();
    QWidget::changeEvent(event);
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == splitter_->handle(1) && event->type() == QEvent::MouseButtonDblClick) {
        emit paneToggleRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// A picture wider than the window is cut at the pane (or shrinks, when fitted) rather than push
// the pane out of sight.
int CChildFrame::WidestBesidePane(int total)
{
    return std::max(total - kPaneWidthBesideFit, 1);
}

void CChildFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size().isEmpty())
        return;
    const int total = event->size().width() - splitter_->handleWidth();
    if (!pendingSplit_.isEmpty() && pendingSplit_[0] + pendingSplit_[1] == total) {
        splitter_->setSizes(pendingSplit_);
        pendingSplit_.clear();
        return;
    }
    if (paneFolded_) {
        splitDone_ = true;
        splitter_->setSizes({ std::max(total, 1), 0 });
        return;
    }
    const int widest = WidestBesidePane(total);
    if (!splitDone_) {
        // A reopened document's window is first laid out at a small default size before it is
        // maximised: a split made then would leave the picture 1 pixel wide.
        if (total <= kPaneWidthBesideFit)
            return;
        splitDone_ = true;
        const int viewWidth = std::min(imageWidth_, widest);
        splitter_->setSizes({ viewWidth, std::max(total - viewWidth, 1) });
        return;
    }
    // A window made narrower (maximised on a small screen, say) takes its width from the pane
    // first; once the pane is down to its share, the picture gives way instead.
    const QList<int> sizes = splitter_->sizes();
    if (sizes.size() != 2)
        return;
    if (sizes[1] < kPaneWidthBesideFit && sizes[0] > widest) {
        splitter_->setSizes({ widest, total - widest });
        return;
    }
    // A window made wider again gives the picture back the width it needs before the pane grows.
    const bool grew = event->oldSize().width() >= 0 && event->size().width() > event->oldSize().width();
    const int needed = std::min(view_->WidthNeeded(), widest);
    if (grew && !pictureFitted_ && sizes[0] < needed)
        splitter_->setSizes({ needed, std::max(total - needed, 1) });
}

void CChildFrame::RestoreSplit(const QList<int>& sizes)
{
    if (sizes.size() != 2)
        return;
    if (sizes[0] + sizes[1] == width() - splitter_->handleWidth())
        splitter_->setSizes(sizes);
    else
        pendingSplit_ = sizes;
}

void CChildFrame::OnDisplaySizeChanged(DisplaySize mode)
{
    const bool fit = mode == kDisplayFit;
    if (fit == pictureFitted_)
        return; // between the fixed sizes the split stays as the user left it
    pictureFitted_ = fit;
    const int total = splitter_->width() - splitter_->handleWidth();
    if (paneFolded_)
        return; // the picture's side has the whole width whatever its size
    const int widest = WidestBesidePane(total);
    int viewWidth = std::min(imageWidth_, widest);
    if (fit) {
        // As wide as the picture needs to fill the height, leaving the pane its share.
        viewWidth = std::clamp(view_->WidthToFillHeight(), viewWidth, widest);
    }
    splitter_->setStretchFactor(0, fit ? 1 : 0);
    splitter_->setStretchFactor(1, fit ? 0 : 1);
    splitter_->setSizes({ viewWidth, std::max(total - viewWidth, 1) });
}

void CChildFrame::OnPictureSizeChanged(QSize size)
{
    imageWidth_ = size.width();
    if (!splitDone_ || pictureFitted_ || paneFolded_)
        return; // the first split or the fitted picture takes the new width by itself
    const int total = splitter_->width() - splitter_->handleWidth();
    const int viewWidth = std::min(view_->WidthNeeded(), WidestBesidePane(total));
    splitter_->setSizes({ viewWidth, std::max(total - viewWidth, 1) });
}
