#pragma once

#include "app/commands/CommandTable.h"
#include "app/commands/WindowPort.h"
#include "pipeline/capture/FrameSource.h"
#include "app/AppFolders.h"
#include "settings/SettingsValues.h"
#include "ui/Translations.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <set>
#include <vector>

class CaptionBar;
class CChildFrame;
class CommandActions;
class CPhotoViewer;
class QAction;
class QColor;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
class RibbonBar;
class RibbonKeyTips;
struct CommandContext;

// The main window: the ribbon, the caption bar, a tabbed document area holding the one
// document (the picture beside the side pane), and the status bar with its greeting and clock.
// It applies and remembers the look and refuses to close, or to close the document, while the
// camera runs, unless the system ends the program. The command rows see it through its port.
class CameraReturn;

class CMainFrame : public QMainWindow, public WindowPort {
    Q_OBJECT
public:
    CMainFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
        QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The document's child frame; null once its tab was closed.
    CChildFrame* child() const { return child_; }
    QMdiArea* mdiArea() const { return mdi_; }
    QMdiSubWindow* documentWindow() const { return documentWindow_; }

    // A new text takes the colour swatch away.
    void SetStatusText(const QString& text) override;
    QString statusText() const;
    // The text with a small square of colour before it (a colour just chosen).
    void SetStatusTextWithSwatch(const QString& text, const QColor& swatch);
    QLabel* statusSwatch() const { return statusSwatch_; }
    QWidget* boxParent() override;
    QLabel* clockPane() const { return clock_; }
    // One clock step: the pane shows the time now.
    void UpdateClock();

    // The look by its command value (any value; unknown ones show the Office 2007 blue look),
    // applied and stored.
    void SetLook(unsigned value) override;
    unsigned look() const override { return look_; }

    void ToggleCaptionBar() override;
    bool captionBarShown() const override;
    CaptionBar* captionBar() const { return captionBar_; }
    void ToggleStatusBar() override;
    bool statusBarShown() const override;
    // The customisation dialog of the caption bar's button: which bars the window shows.
    void OpenCustomizeDialog() override;
    bool ribbonFolded() const override;
    void SetRibbonFolded(bool folded) override;
    void Close() override { close(); }
    // The document again after its tab was closed: the picture and the side pane, camera off.
    void OpenDocument() override;
    // The program's photo viewer, made the first time a file is shown in it.
    void ShowInViewer(const QString& path) override;
    CPhotoViewer* viewer() const { return viewer_; }
    // The system ends the program (log-out, shutdown, a signal): the camera stops, which finishes
    // the recording and the GIF, with no box to answer. CloseForShutdown then closes the window.
    void StopForShutdown();
    void CloseForShutdown();

    const CommandTable& commands() const { return commands_; }
    CommandContext& commandContext() { return *context_; }
    CommandActions& actions() const { return *actions_; }
    RibbonBar* ribbon() const { return ribbon_; }
    RibbonKeyTips* keyTips() const { return keyTips_; }
    // The action that shows a command on the ribbon or in its drop-downs; null when none does.
    QAction* ShownAction(CommandId id) const;
    // The update pass: every shown command takes its state from the model. RefreshSoon asks for
    // one pass once the events at hand are handled, so that a burst of changes costs one pass.
    void RefreshCommands();
    void RefreshSoon();

    // Speaks the language from now on and at the next start: remembered, translations installed,
    // and every text the window set at its building set again (the ribbon is built anew).
    void SetInterfaceLanguage(InterfaceLanguage language) override;

    // The picture alone on the whole screen, as large as it fits; leaving brings back the window
    // as it was.
    void SetPictureFullScreen(bool on) override;
    bool pictureFullScreen() const override { return fullScreen_.has_value(); }

    DisplaySize displaySize() const override;
    void SetDisplaySize(DisplaySize size) override;
    bool CancelPictureSelection() override;
    void OpenDelayDialog(AppFolders& folders, SettingsValues& values) override;
    void OpenAboutDialog() override;
    std::optional<CameraAnswer> AskForCamera(std::vector<CameraInfo> present, const QString& remembered,
        cv::Size currentSize) override;
    void OpenCameraSettings(const CameraInfo* camera) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeDocument(QSize client);
    void BuildRibbon();
    void ConnectDocument();
    void BuildStatusBar();
    void Retranslate();
    bool RefuseWhileCameraRuns(bool running);
    void DocumentClosing();
    void PhotoFolderMissing(const QString& folder, const QString& keptAt);

    AppFolders folders_;
    SettingsValues values_;
    FrameSourceFactory sources_; // each document opens the camera anew
    QMdiArea* mdi_ = nullptr;
    QMdiSubWindow* documentWindow_ = nullptr;
    CChildFrame* child_ = nullptr;
    CameraReturn* cameraReturn_ = nullptr; // the document's, gone with it
    QString returnedPrefix_;               // said before the next start's camera figures
    CaptionBar* captionBar_ = nullptr;
    QLabel* statusSwatch_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* clock_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    unsigned look_ = 0;
    CommandTable commands_;
    std::unique_ptr<CommandContext> context_;
    CommandActions* actions_ = nullptr;
    RibbonBar* ribbon_ = nullptr;
    RibbonKeyTips* keyTips_ = nullptr;
    CPhotoViewer* viewer_ = nullptr;
    // What full screen hid, to bring back.
    struct Windowed {
        Qt::WindowStates states;
        bool ribbon, statusBar, captionBar, pane;
        QList<int> split;
        Qt::WindowFlags documentFlags;
    };
    std::optional<Windowed> fullScreen_;
    bool refreshPending_ = false;
    bool shuttingDown_ = false;
    std::set<QString> missingFoldersTold_;
};
