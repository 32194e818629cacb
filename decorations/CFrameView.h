#pragma once

#include "decorations/DecorationKind.h"
#include "decorations/FillStrip.h"

#include <QWidget>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <vector>

class Photostrip;
class QTimer;
class TouchOverlay;

// The folders the side pane lists.
struct PaneFolders {
    std::filesystem::path frames;
    std::filesystem::path addOns;
    std::filesystem::path photos;
};

// The side pane: the frames strip on top, the add-ons strip in the middle and the photos strip
// at the bottom, all under one input overlay. It lays itself out at its first non-empty size and
// again, in the same proportions, whenever its size changes; a strip whose height changed gets
// its thumbnails decoded again at the new height once the resizing has paused.
class CFrameView : public QWidget {
    Q_OBJECT
public:
    explicit CFrameView(const PaneFolders& folders, DecorationKind frameKind = DecorationKind::Png,
                        DecorationKind addOnKind = DecorationKind::Gif, QWidget* parent = nullptr);
    ~CFrameView() override;

    // New folders take effect at the next reload of each strip.
    void SetFolders(const PaneFolders& folders) { folders_ = folders; }
    const PaneFolders& folders() const { return folders_; }

    bool laidOut() const { return laidOut_; }
    TouchOverlay* overlay() const { return overlay_; }
    Photostrip* frameStrip() const { return frames_; }
    Photostrip* addOnStrip() const { return addOns_; }
    Photostrip* photoStrip() const { return photos_; }

    // A fill with at least this many files to decode runs on a worker thread; the strip shows
    // its old thumbnails until the new ones are ready. The photos strip, which may list a
    // great many, reads only the files' headers for its fill and decodes its thumbnails as
    // they come into view.
    static constexpr size_t kBackgroundDecodeThreshold = 16;
    // While a large folder's headers are read, the start of the row is laid out from this
    // many at once, so that its thumbnails are decoded meanwhile.
    static constexpr size_t kStartOfRow = 32;
    // Fills in progress, or thumbnails in view still being decoded.
    bool loading() const;
    // Waits for the fills in progress and the thumbnails they bring into view, and shows them.
    void WaitForLoads();

    // How long the size must stay still before thumbnails are decoded for new strip heights;
    // a window dragged larger would otherwise decode every strip at every step.
    static constexpr int kRedecodeDelayMs = 150;
    bool redecodePending() const { return !redecode_.empty(); }
    // Starts those fills now instead of after the pause.
    void DecodeForNewHeights();

    // What the strip at a pane point says when the pointer rests on it: how its files are taken
    // or opened, and how it scrolls; empty outside the strips.
    QString ToolTipAt(QPoint point) const;

public slots:
    // A photo, video or GIF was saved at path (empty: the folder changed otherwise): list the
    // photo folder again, scrolled back to its start where the newest is, and mark the new file
    // for a moment.
    void OnPhotoSaved(const QString& path = {});
    // The ribbon switched the frames or add-ons strip to GIF (0) or PNG (1) files.
    void ReloadFrameStrip(int kind);
    void ReloadAddOnStrip(int kind);

public:
    // The kinds the frames and add-ons strips list.
    DecorationKind frameKind() const { return static_cast<DecorationKind>(frameKind_); }
    DecorationKind addOnKind() const { return static_cast<DecorationKind>(addOnKind_); }

signals:
    // The user pulled a thumbnail out of the frames or add-ons strip.
    void framePicked(const QString& path, int kind);
    void addOnPicked(const QString& path, int kind);
    // A photo, video or GIF of the photos strip was double-clicked or tapped: open it.
    void photoActivated(const QString& path);
    // The right button was pressed on a file of the photos strip (globalPos: where the menu goes).
    void photoMenuRequested(const QString& path, const QPoint& globalPos);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Why a strip is filled: its creation reports an empty folder, a reload starts the row
    // again from its start, a new height keeps the row where it was scrolled to.
    enum class FillReason { Creation, Reload, NewHeight };

    void LayOut();
    void LayOutAgain();
    void PlaceStrip(Photostrip* strip, int top, int height);
    Photostrip* CreateStrip(int top, int height, const std::filesystem::path& folder,
                            int placement, int content, int32_t kind);
    void Reload(Photostrip* strip, int32_t kind, const std::filesystem::path& folder);
    struct StripLoad;
    void StartFill(Photostrip* strip, const std::filesystem::path& folder, int32_t kind,
                   FillReason reason);
    void FinishFill(Photostrip* strip, StripFillPlan plan, int32_t kind,
                    const std::filesystem::path& folder, FillReason reason, bool startShown = false);
    void ShowStartOfRow(Photostrip* strip, const StripFillPlan& plan, int32_t kind);
    void ApplyFinishedLoads();
    bool FillPending(Photostrip* strip) const;

    PaneFolders folders_;
    // What the frames and add-ons strips list now.
    int32_t frameKind_;
    int32_t addOnKind_;
    int topHeight_ = 0;
    int bottomHeight_ = 0;
    int paneWidth_ = 0;
    int paneHeight_ = 0;
    bool laidOut_ = false;
    TouchOverlay* overlay_ = nullptr;
    Photostrip* frames_ = nullptr;
    Photostrip* photos_ = nullptr;
    Photostrip* addOns_ = nullptr;
    std::vector<std::unique_ptr<StripLoad>> loads_;
    std::map<Photostrip*, uint64_t> latestLoad_; // only the newest fill of a strip is shown
    // The folder and kind of each strip's newest fill: a new height lists them again.
    struct FillSource {
        std::filesystem::path folder;
        int32_t kind = 0;
    };
    std::map<Photostrip*, FillSource> fillSources_;
    std::set<Photostrip*> redecode_; // strips whose height changed since their thumbnails were made
    QTimer* redecodeTimer_ = nullptr;
    QString pendingHighlight_; // the saved file to mark once the photos strip lists it
};
