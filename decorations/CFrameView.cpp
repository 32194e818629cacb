#include "decorations/CFrameView.h"

#include "decorations/FillStrip.h"
#include "decorations/FolderScan.h"
#include "ui/MessageBoxes.h"
#include "decorations/Photostrip.h"
#include "decorations/TouchOverlay.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHelpEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>

namespace {

struct EmptyStripMessage {
    const char* text;
    const char* caption;
};

EmptyStripMessage MessageFor(StripContent content)
{
    switch (content) {
    case StripContent::Photos:
        return {QT_TRANSLATE_NOOP("CFrameView", "相片长廊 无法打开照片目录:\n\n目录不存在?\n或\n目录中无照片? 赶快试试拍照功能吧！\n\n"),
                QT_TRANSLATE_NOOP("CFrameView", "请检查照片目录")};
    case StripContent::Frames:
        return {QT_TRANSLATE_NOOP("CFrameView", "相框长廊 无法打开照片目录:\n\n目录不存在?\n或\n目录无相框?\n\n"), QT_TRANSLATE_NOOP("CFrameView", "请检查照片目录")};
    case StripContent::AddOns: break;
    }
    return {QT_TRANSLATE_NOOP("CFrameView", "挂件长廊 无法打开挂件目录:\n\n目录不存在?\n或\n目录无相框?\n\n"), QT_TRANSLATE_NOOP("CFrameView", "请检查挂件目录")};
}

// One line in an empty strip: which files to put in which folder, and that the strip lists them
// once they are there.
QString EmptyStripText(StripContent content, int32_t kind, const std::filesystem::path& folder)
{
    const QString where = QDir::toNativeSeparators(PathToQString(folder));
    const QString type = kind == 0 ? QStringLiteral("GIF") : QStringLiteral("PNG");
    switch (content) {
    case StripContent::Photos:
        return QCoreApplication::translate("CFrameView", "照片目录 %1 中还没有照片：拍照、录像或录制 GIF 后，它们会出现在这里")
            .arg(where);
    case StripContent::Frames:
        return QCoreApplication::translate("CFrameView", "相框目录 %1 中没有 %2 相框：把 %2 图片放进这个目录，这里就会列出它们")
            .arg(where, type);
    case StripContent::AddOns: break;
    }
    return QCoreApplication::translate("CFrameView", "挂件目录 %1 中没有 %2 挂件：把 %2 图片放进这个目录，这里就会列出它们")
        .arg(where, type);
}

QString StripToolTip(StripContent content)
{
    switch (content) {
    case StripContent::Frames:
        return QCoreApplication::translate("CFrameView", "单击一个相框，或把它往下拖，就加到画面上\n左右拖动或转动滚轮，看更多相框");
    case StripContent::AddOns:
        return QCoreApplication::translate("CFrameView", "单击一个挂件，或把它往下拖，就加到画面上\n左右拖动或转动滚轮，看更多挂件");
    case StripContent::Photos: break;
    }
    return QCoreApplication::translate("CFrameView", "双击打开照片，右键看更多操作\n左右拖动或转动滚轮，看更多照片");
}

// The folder as the user knows it, ending in a separator.
QString FolderText(const std::filesystem::path& folder)
{
    QString text = QDir::toNativeSeparators(PathToQString(folder));
    if (!text.endsWith(QDir::separator()))
        text += QDir::separator();
    return text;
}

} // namespace

CFrameView::CFrameView(const PaneFolders& folders, DecorationKind frameKind,
                       DecorationKind addOnKind, QWidget* parent)
    : QWidget(parent), folders_(folders), frameKind_(static_cast<int32_t>(frameKind)),
      addOnKind_(static_cast<int32_t>(addOnKind))
{
    setObjectName(QStringLiteral("CFrameView"));
    redecodeTimer_ = new QTimer(this);
    redecodeTimer_->setSingleShot(true);
    redecodeTimer_->setInterval(kRedecodeDelayMs);
    connect(redecodeTimer_, &QTimer::timeout, this, &CFrameView::DecodeForNewHeights);
}

struct CFrameView::StripLoad {
    Photostrip* strip;
    uint64_t generation;
    int32_t kind;
    std::filesystem::path folder;
    FillReason reason;
    bool startShown = false;
    StripFillPlan plan;
    std::atomic<bool> done{false};
    std::atomic<bool> cancel{false};
    std::thread worker;
};

CFrameView::~CFrameView()
{
    for (auto& load : loads_)
        load->cancel = true;
    for (auto& load : loads_)
        if (load->worker.joinable())
            load->worker.join();
}

void CFrameView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void CFrameView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A splitter may size its panes to nothing before showing them; wait for a real size.
    if (event->size().isEmpty())
        return;
    if (!laidOut_)
        LayOut();
    else if (width() != paneWidth_ || height() != paneHeight_)
        LayOutAgain();
}

QString CFrameView::ToolTipAt(QPoint point) const
{
    for (const Photostrip* strip : {frames_, addOns_, photos_})
        if (strip && strip->geometry().contains(point))
            return StripToolTip(strip->content());
    return {};
}

bool CFrameView::event(QEvent* event)
{
    // The overlay takes all input over the strips and passes the tooltip question on.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        // Each strip has its own: leaving it hides this one.
        QRect area;
        for (const Photostrip* strip : {frames_, addOns_, photos_})
            if (strip && strip->geometry().contains(help->pos()))
                area = strip->geometry();
        QToolTip::showText(help->globalPos(), text, this, area);
        return true;
    }
    return QWidget::event(event);
}

void CFrameView::contextMenuEvent(QContextMenuEvent* event)
{
    // The overlay passes the right button on; only the photos strip has a menu.
    const QString path = photos_ ? photos_->PathAt(static_cast<float>(event->pos().x()),
                                                   static_cast<float>(event->pos().y()))
                                 : QString();
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
    emit photoMenuRequested(path, event->globalPos());
}

void CFrameView::LayOut()
{
    paneWidth_ = width();
    paneHeight_ = height();
    topHeight_ = static_cast<int>(0.4 * paneHeight_);
    bottomHeight_ = static_cast<int>(0.4 * paneHeight_);

    overlay_ = new TouchOverlay(this, paneWidth_, paneHeight_);
    frames_ = CreateStrip(0, topHeight_, folders_.frames, 0, 1, frameKind_);
    addOns_ = CreateStrip(topHeight_, paneHeight_ - bottomHeight_ - topHeight_, folders_.addOns, 2,
                          2, addOnKind_);
    photos_ = CreateStrip(paneHeight_ - bottomHeight_, bottomHeight_, folders_.photos, 1, 0,
                          kPhotoStripKind);
    overlay_->raise(); // all input over the pane must reach the overlay, none the strips
    overlay_->show();

    TouchTargetRegistry& targets = overlay_->targets();
    targets.Add(frames_);
    targets.Add(addOns_);
    targets.Add(photos_);
    connect(frames_, &Photostrip::thumbnailPicked, this, &CFrameView::framePicked);
    connect(addOns_, &Photostrip::thumbnailPicked, this, &CFrameView::addOnPicked);
    connect(photos_, &Photostrip::thumbnailActivated, this, &CFrameView::photoActivated);
    laidOut_ = true;
}

void CFrameView::LayOutAgain()
{
    paneWidth_ = width();
    paneHeight_ = height();
    topHeight_ = static_cast<int>(0.4 * paneHeight_);
    bottomHeight_ = static_cast<int>(0.4 * paneHeight_);
    overlay_->setGeometry(0, 0, paneWidth_, paneHeight_);
    PlaceStrip(frames_, 0, topHeight_);
    PlaceStrip(addOns_, topHeight_, paneHeight_ - bottomHeight_ - topHeight_);
    PlaceStrip(photos_, paneHeight_ - bottomHeight_, bottomHeight_);
    if (!redecode_.empty())
        redecodeTimer_->start(); // again from the start at every step of a resize
    update();
}

void CFrameView::PlaceStrip(Photostrip* strip, int top, int height)
{
    if (!strip)
        return;
    if (strip->stripHeight() != height)
        redecode_.insert(strip);
    // Until then the thumbnails keep their old size, and their places in the row.
    strip->Place(paneWidth_, height, top);
}

void CFrameView::DecodeForNewHeights()
{
    redecodeTimer_->stop();
    const std::set<Photostrip*> strips = std::exchange(redecode_, {});
    for (Photostrip* strip : strips) {
        // A fill still decoding for another height starts again by itself when it ends.
        if (FillPending(strip))
            continue;
        const FillSource& source = fillSources_[strip];
        StartFill(strip, source.folder, source.kind, FillReason::NewHeight);
    }
}

bool CFrameView::FillPending(Photostrip* strip) const
{
    // Only the newest fill counts: an older one still running is dropped when it ends.
    const auto latest = latestLoad_.find(strip);
    return latest != latestLoad_.end()
        && std::any_of(loads_.begin(), loads_.end(), [strip, generation = latest->second](const auto& load) {
               return load->strip == strip && load->generation == generation;
           });
}

Photostrip* CFrameView::CreateStrip(int top, int height, const std::filesystem::path& folder,
                                    int placement, int content, int32_t kind)
{
    auto* strip = new Photostrip(this, paneWidth_, height, top,
                                 static_cast<StripPlacement>(placement),
                                 static_cast<StripContent>(content), kind);
    // Frames and add-ons are few; a photo folder grows with every photo taken.
    strip->SetLoadOnDemand(strip->content() == StripContent::Photos);
    strip->show();
    StartFill(strip, folder, kind, FillReason::Creation);
    return strip;
}

void CFrameView::Reload(Photostrip* strip, int32_t kind, const std::filesystem::path& folder)
{
    if (strip)
        StartFill(strip, folder, kind, FillReason::Reload);
}

void CFrameView::StartFill(Photostrip* strip, const std::filesystem::path& folder, int32_t kind,
                           FillReason reason)
{
    const uint64_t generation = ++latestLoad_[strip];
    fillSources_[strip] = {folder, kind};
    StripFillPlan plan = PlanStripFill(*strip, folder, kind);
    if (plan.toDecode.size() < kBackgroundDecodeThreshold) {
        DecodeStripFill(plan);
        FinishFill(strip, std::move(plan), kind, folder, reason);
        return;
    }
    // A row that starts again from the left shows its start now: its places do not depend on
    // the files further on.
    const bool startShown = plan.headersOnly && reason != FillReason::NewHeight;
    if (startShown)
        ShowStartOfRow(strip, plan, kind);
    // Many new files (a first start on a full photo folder): decode them off the interface.
    auto load = std::make_unique<StripLoad>();
    load->startShown = startShown;
    load->strip = strip;
    load->generation = generation;
    load->kind = kind;
    load->folder = folder;
    load->reason = reason;
    load->plan = std::move(plan);
    StripLoad* raw = load.get();
    raw->worker = std::thread([this, raw] {
        DecodeStripFill(raw->plan, &raw->cancel);
        raw->done = true;
        QMetaObject::invokeMethod(this, [this] { ApplyFinishedLoads(); }, Qt::QueuedConnection);
    });
    loads_.push_back(std::move(load));
}

void CFrameView::ApplyFinishedLoads()
{
    std::vector<std::unique_ptr<StripLoad>> finished;
    for (auto it = loads_.begin(); it != loads_.end();) {
        if ((*it)->done) {
            if ((*it)->worker.joinable())
                (*it)->worker.join();
            finished.push_back(std::move(*it));
            it = loads_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& load : finished) {
        if (load->generation != latestLoad_[load->strip])
            continue;
        // Decoded for a height the strip no longer has: no thumbnail would fit.
        if (!load->plan.headersOnly &&
            load->plan.height != 0.75f * static_cast<float>(load->strip->stripHeight()))
            StartFill(load->strip, load->folder, load->kind, load->reason);
        else
            FinishFill(load->strip, std::move(load->plan), load->kind, load->folder, load->reason,
                       load->startShown);
    }
}

bool CFrameView::loading() const
{
    if (!loads_.empty())
        return true;
    for (const Photostrip* strip : {frames_, addOns_, photos_})
        if (strip && strip->thumbnailsPending())
            return true;
    return false;
}

void CFrameView::WaitForLoads()
{
    // A finished fill may start another (a new height meanwhile), and places thumbnails that
    // then want decoding.
    while (loading()) {
        for (auto& load : loads_)
            if (load->worker.joinable())
                load->worker.join();
        ApplyFinishedLoads();
        for (Photostrip* strip : {frames_, addOns_, photos_})
            if (strip)
                strip->WaitForThumbnails();
    }
}

void CFrameView::ShowStartOfRow(Photostrip* strip, const StripFillPlan& plan, int32_t kind)
{
    StripFillPlan start;
    start.headersOnly = true;
    start.height = plan.height;
    start.knownHeaders = plan.knownHeaders;
    const size_t n = std::min(kStartOfRow, plan.paths.size());
    start.paths.assign(plan.paths.begin(), plan.paths.begin() + static_cast<std::ptrdiff_t>(n));
    start.headers.resize(n);
    for (size_t i = 0; i < n; ++i)
        start.toDecode.push_back(i);
    DecodeStripFill(start);
    // At creation the strip is not yet among the overlay's targets; the layout adds it.
    TouchTargetRegistry& targets = overlay_->targets();
    const bool listed = std::find(targets.targets().begin(), targets.targets().end(),
                                  static_cast<ITouchTarget*>(strip)) != targets.targets().end();
    if (listed)
        targets.Remove(strip);
    strip->SetScrollOffset(0.0f);
    strip->SetKind(kind);
    ApplyStripFill(*strip, std::move(start)); // whether the folder is empty is told by the whole
    if (listed)
        targets.Add(strip);
    if (strip == photos_ && !pendingHighlight_.isEmpty() && strip->Highlight(pendingHighlight_))
        pendingHighlight_.clear();
    strip->update();
}

void CFrameView::FinishFill(Photostrip* strip, StripFillPlan plan, int32_t kind,
                            const std::filesystem::path& folder, FillReason reason, bool startShown)
{
    strip->SetEmptyText(EmptyStripText(strip->content(), kind, folder));
    if (reason == FillReason::Creation) {
        // A row whose start was shown may have been scrolled since: it stays where it is.
        if (!startShown)
            strip->SetScrollOffset(0.0f);
        strip->SetKind(kind);
        if (!ApplyStripFill(*strip, std::move(plan))) {
            const EmptyStripMessage message = MessageFor(strip->content());
            const QString text = QCoreApplication::translate("CFrameView", message.text) + FolderText(folder);
            const QString caption = QCoreApplication::translate("CFrameView", message.caption);
            // The first layout happens while the window is being shown; a modal box opened
            // there would run an event loop in the middle of showing the pane's children.
            QMetaObject::invokeMethod(
                strip, [strip, text, caption] { Messages().Question(strip, text, caption); },
                Qt::QueuedConnection);
        }
        return;
    }
    TouchTargetRegistry& targets = overlay_->targets();
    targets.Remove(strip);
    if (reason == FillReason::Reload && !startShown)
        strip->SetScrollOffset(0.0f);
    strip->SetKind(kind);
    ApplyStripFill(*strip, std::move(plan)); // a later fill that finds nothing stays silent
    targets.Add(strip);
    if (strip == photos_ && !pendingHighlight_.isEmpty()) {
        strip->Highlight(pendingHighlight_);
        pendingHighlight_.clear();
    }
    strip->update();
    update();
}

void CFrameView::OnPhotoSaved(const QString& path)
{
    pendingHighlight_ = path;
    Reload(photos_, kPhotoStripKind, folders_.photos);
}

void CFrameView::ReloadFrameStrip(int kind)
{
    frameKind_ = kind;
    Reload(frames_, kind, folders_.frames);
}

void CFrameView::ReloadAddOnStrip(int kind)
{
    addOnKind_ = kind;
    Reload(addOns_, kind, folders_.addOns);
}
