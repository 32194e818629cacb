#pragma once

#include "app/commands/SidePanePort.h"
#include "pipeline/capture/FrameSource.h"
#include "app/AppFolders.h"
#include "settings/SettingsValues.h"

#include <QWidget>

class CFrameView;
class CParvelWebcamView;
class QSplitter;
enum DisplaySize : int;

// The document window: the workspace view on the left and the side pane on the right. It shows
// the side pane's strips to the command rows.
class CChildFrame : public QWidget, public SidePanePort {
    Q_OBJECT
public:
    CChildFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
        QSize mainClientSize, QWidget* parent = nullptr);

    CParvelWebcamView* view() const { return view_; }
    CFrameView* pane() const { return pane_; }
    QSplitter* splitter() const { return splitter_; }

    void SetPhotoFolder(const std::filesystem::path& folder) override;
    void SetFrameFolder(const std::filesystem::path& folder) override;
    void SetAddOnFolder(const std::filesystem::path& folder) override;
    void ListPhotosAgain() override;
    DecorationKind frameKind() const override;
    DecorationKind addOnKind() const override;
    void ListFrames(DecorationKind kind) override;
    void ListAddOns(DecorationKind kind) override;
    bool paneShown() const override;
    void ShowPane(bool shown) override;

    // Puts the split back as it was (the sizes of the picture's side and the pane) once the frame
    // is as wide as it was then: a window leaving full screen gets its size back only later.
    void RestoreSplit(const QList<int>& sizes);

signals:
    // The splitter's handle was double-clicked: the window hides or shows the pane.
    void paneToggleRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The fitted picture takes what the window gains, the pane keeps its width; the other sizes
    // give the picture's width back and the pane grows with the window again.
    void OnDisplaySizeChanged(DisplaySize mode);
    void OnPictureSizeChanged(QSize size);

    static int WidestBesidePane(int total);
    void SetFolded(bool folded);
    void SayWhatTheHandleDoes();

    int imageWidth_ = 0;
    bool splitDone_ = false;
    bool pictureFitted_ = false;
    QList<int> pendingSplit_;
    bool paneFolded_ = false;
    int paneWidthBeforeHiding_ = 0; // what the pane comes back at
    QSplitter* splitter_ = nullptr;
    CParvelWebcamView* view_ = nullptr;
    CFrameView* pane_ = nullptr;
};
