#include "app/CPhotoViewer.h"

#include "app/DisplayFit.h"
#include "app/commands/CommandTable.h"
#include "app/ribbon/CommandActions.h"
#include "decorations/MediaClip.h"
#include "decorations/PhotoSequence.h"
#include "ui/FileNameBytes.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// A small picture is enlarged to fill the window, but no more than this: an icon-sized GIF
// would otherwise become a few huge blocks.
constexpr int kMostEnlarged = 4;
constexpr int kNoteMs = 4000;
constexpr double kShareOfScreen = 0.85;
} // namespace

// Where the picture is drawn, as large as the window allows, or the sentence that stands for it.
class ViewerCanvas : public QWidget {
public:
    explicit ViewerCanvas(const CPhotoViewer& viewer, QWidget* parent)
        : QWidget(parent)
        , viewer_(viewer)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(200, 150);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x20, 0x20, 0x20));
        const QImage picture = viewer_.shownPicture();
        if (!picture.isNull()) {
            QRect target = FitPictureRect(picture.size(), rect());
            if (target.width() > picture.width() * kMostEnlarged) {
                target.setSize(picture.size() * kMostEnlarged);
                target.moveCenter(rect().center());
            }
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, picture);
            return;
        }
        const QString message = viewer_.message();
        if (message.isEmpty())
            return;
        QFont large = font();
        large.setPointSizeF(large.pointSizeF() * 1.3);
        painter.setFont(large);
        painter.setPen(QColor(0xE8, 0xE8, 0xE8));
        painter.drawText(rect().adjusted(40, 40, -40, -40), Qt::AlignCenter | Qt::TextWordWrap, message);
    }

private:
    const CPhotoViewer& viewer_;
};

CPhotoViewer::CPhotoViewer(CommandActions& actions, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , actions_(actions)
{
    setObjectName(QStringLiteral("CPhotoViewer"));
    canvas_ = new ViewerCanvas(*this, this);
    canvas_->setFocusPolicy(Qt::StrongFocus);
    place_ = new QLabel(this);
    note_ = new QLabel(this);
    note_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // The buttons show the rows' actions; the keys of the viewer's rows work in this window only.
    const auto button = [this](CommandId id) {
        auto* b = new QToolButton(this);
        b->setDefaultAction(actions_.Action(id));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus); // Space and the arrows stay the viewer's keys
        return b;
    };
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 4, 8, 4);
    for (CommandId id : { ID_VIEWER_PREVIOUS, ID_VIEWER_NEXT, ID_VIEWER_PLAY })
        bar->addWidget(button(id));
    bar->addSpacing(12);
    bar->addWidget(place_);
    bar->addStretch(1);
    bar->addWidget(note_);
    bar->addSpacing(12);
    for (CommandId id : { ID_PHOTO_COPY, ID_PHOTO_DELETE, ID_PHOTO_OPEN, ID_VIEWER_CLOSE })
        bar->addWidget(button(id));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvas_, 1);
    layout->addLayout(bar);
    actions_.AddShortcutsTo(*this, KeyPlace::Viewer);

    frameTimer_ = new QTimer(this);
    frameTimer_->setSingleShot(true);
    connect(frameTimer_, &QTimer::timeout, this, &CPhotoViewer::AdvanceClip);
    noteTimer_ = new QTimer(this);
    noteTimer_->setSingleShot(true);
    connect(noteTimer_, &QTimer::timeout, note_, &QLabel::clear);
    // Photos taken meanwhile join the row; a file moved away by someone else says so.
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &CPhotoViewer::FolderChanged);
    UpdateTexts();
}

CPhotoViewer::~CPhotoViewer() = default;

void CPhotoViewer::ShowFile(const QString& path)
{
    if (!placed_) {
        placed_ = true;
        const QScreen* on = parentWidget() != nullptr ? parentWidget()->screen() : screen();
        if (on != nullptr) {
            const QRect room = on->availableGeometry();
            resize((QSizeF(room.size()) * kShareOfScreen).toSize());
            move(room.center() - rect().center());
        }
    }
    Load(path);
    show();
    raise();
    activateWindow();
    canvas_->setFocus();
}

void CPhotoViewer::Load(const QString& path)
{
    frameTimer_->stop();
    const QString folder = QFileInfo(path).absolutePath();
    if (folder != folder_) {
        if (!watcher_->directories().isEmpty())
            watcher_->removePaths(watcher_->directories());
        folder_ = folder;
        watcher_->addPath(folder_);
    }
    path_ = path;
    clip_ = std::make_unique<MediaClip>(path);
    switch (clip_->outcome()) {
    case MediaClip::Outcome::Shown:
        absence_ = Absence::None;
        break;
    case MediaClip::Outcome::Missing:
        absence_ = Absence::Missing;
        break;
    case MediaClip::Outcome::Unreadable:
        absence_ = Absence::Unreadable;
        break;
    case MediaClip::Outcome::TooLarge:
        absence_ = Absence::TooLarge;
        break;
    }
    picture_ = clip_->frame();
    if (absence_ != Absence::None)
        clip_.reset();
    playing_ = true;
    ListAgain();
    ScheduleFrame();
    UpdateTexts();
    canvas_->update();
    Refresh();
}

void CPhotoViewer::ShowNothing()
{
    frameTimer_->stop();
    clip_.reset();
    picture_ = QImage();
    path_.clear();
    absence_ = Absence::Empty;
    UpdateTexts();
    canvas_->update();
    Refresh();
}

void CPhotoViewer::ListAgain()
{
    list_ = ListPhotos(folder_);
    // The row the shown file was last found in: where it stood, should it go.
    if (std::find(list_.begin(), list_.end(), path_) != list_.end())
        shownFrom_ = list_;
}

void CPhotoViewer::FolderChanged()
{
    ListAgain();
    // The shown file went without us (another program): say so rather than show what is gone.
    if (!path_.isEmpty() && absence_ == Absence::None && clip_ && !StatFile(path_)) {
        frameTimer_->stop();
        clip_.reset();
        picture_ = QImage();
        absence_ = Absence::Missing;
        canvas_->update();
    }
    UpdateTexts();
    Refresh();
}

QString CPhotoViewer::shownPath() const
{
    return isVisible() ? path_ : QString();
}

QImage CPhotoViewer::shownPicture() const
{
    return absence_ == Absence::None ? picture_ : QImage();
}

bool CPhotoViewer::CanStep(int step) const
{
    return !path_.isEmpty() && StepFrom(list_, shownFrom_, path_, step).has_value();
}

void CPhotoViewer::Step(int step)
{
    if (path_.isEmpty())
        return;
    const std::vector<QString> now = ListPhotos(folder_);
    const std::optional<QString> next = StepFrom(now, shownFrom_, path_, step);
    list_ = now;
    if (next)
        Load(*next);
    else
        Refresh();
}

bool CPhotoViewer::moving() const
{
    return clip_ != nullptr && clip_->moving();
}

void CPhotoViewer::SetPlaying(bool playing)
{
    playing_ = playing;
    ScheduleFrame();
    Refresh();
}

void CPhotoViewer::AdvanceClip()
{
    if (!clip_ || !clip_->moving())
        return;
    const bool read = clip_->Advance();
    picture_ = clip_->frame();
    canvas_->update();
    ScheduleFrame();
    if (!read)
        Refresh(); // no longer moving: nothing to pause
}

void CPhotoViewer::ScheduleFrame()
{
    frameTimer_->stop();
    if (moving() && playing_ && isVisible())
        frameTimer_->start(clip_->frameMs());
}

void CPhotoViewer::ReleaseFile(const QString& path)
{
    if (path != path_)
        return;
    frameTimer_->stop();
    clip_.reset(); // the picture stays on the screen
}

void CPhotoViewer::FileSettled(const QString& path)
{
    if (path != path_) {
        ListAgain();
        Refresh();
        return;
    }
    if (StatFile(path_)) {
        Load(path_); // it stayed: from its first frame again
        return;
    }
    // Gone: the next one takes its place, the newer one when it was the last of the row.
    const std::vector<QString> now = ListPhotos(folder_);
    std::optional<QString> next = StepFrom(now, shownFrom_, path_, 1);
    if (!next)
        next = StepFrom(now, shownFrom_, path_, -1);
    list_ = now;
    if (next)
        Load(*next);
    else
        ShowNothing();
}

void CPhotoViewer::ShowNote(const QString& text)
{
    note_->setText(text);
    noteTimer_->start(kNoteMs);
}

QString CPhotoViewer::note() const
{
    return note_->text();
}

int CPhotoViewer::place() const
{
    const auto at = std::find(list_.begin(), list_.end(), path_);
    return at == list_.end() ? -1 : static_cast<int>(at - list_.begin());
}

QString CPhotoViewer::message() const
{
    const QString name = ReadableFileName(QFileInfo(path_).fileName());
    switch (absence_) {
    case Absence::None:
        break;
    case Absence::Missing:
        return tr("找不到“%1”。\n它可能已被移走、改名或删除。").arg(name);
    case Absence::Unreadable:
        return tr("无法显示“%1”。\n文件可能已损坏，或者不是乐影屋能打开的图片或视频。").arg(name);
    case Absence::TooLarge:
        return tr("“%1”太大，无法显示。").arg(name);
    case Absence::Empty:
        return tr("这个文件夹里已经没有照片、视频或动图了。");
    }
    return {};
}

void CPhotoViewer::UpdateTexts()
{
    const QString name = ReadableFileName(QFileInfo(path_).fileName());
    setWindowTitle(path_.isEmpty() ? tr("照片查看 - 乐影屋") : tr("%1 - 乐影屋").arg(name));
    const int at = place();
    place_->setText(at < 0 ? name : tr("%1 / %2    %3").arg(at + 1).arg(count()).arg(name));
}

void CPhotoViewer::Refresh()
{
    actions_.Refresh();
}

void CPhotoViewer::closeEvent(QCloseEvent* event)
{
    // Closed, it holds no file and no frame; the photos' rows act on nothing here.
    frameTimer_->stop();
    clip_.reset();
    picture_ = QImage();
    path_.clear();
    list_.clear();
    shownFrom_.clear();
    absence_ = Absence::None;
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    folder_.clear();
    note_->clear();
    QWidget::closeEvent(event);
    Refresh();
}

void CPhotoViewer::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        UpdateTexts();
        canvas_->update();
    }
    QWidget::changeEvent(event);
}
