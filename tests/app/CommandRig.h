#pragma once

#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/AppFolders.h"
#include "app/CCameraDlg.h"
#include "app/CChildFrame.h"
#include "app/CTimeSetDlg.h"
#include "app/CParvelWebcamView.h"
#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"
#include "app/commands/WindowPort.h"
#include "decorations/CFrameView.h"
#include "pipeline/CWebcamCtl.h"
#include "settings/ExcelDocument.h"
#include "settings/SettingsWorkbook.h"
#include "ui/MessageBoxes.h"
#include "ui/PathText.h"
#include "ui/Shell.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>

// The window as the rows see it, without a main window: the status text is recorded, the
// picture's verbs go to the document's view, the dialogs are answered by the test.
class RecordingWindow : public WindowPort {
public:
    explicit RecordingWindow(CChildFrame*& frame)
        : frame_(frame)
    {
    }
    void SetStatusText(const QString& text) override { status = text; }
    QWidget* boxParent() override { return frame_ != nullptr ? frame_->view() : nullptr; }
    unsigned look() const override { return lookValue; }
    void SetLook(unsigned value) override { lookValue = value; }
    void SetInterfaceLanguage(InterfaceLanguage language) override
    {
        RememberLanguage(language);
        InstallTranslations(language);
    }
    bool captionBarShown() const override { return captionBar; }
    void ToggleCaptionBar() override { captionBar = !captionBar; }
    bool statusBarShown() const override { return statusBar; }
    void ToggleStatusBar() override { statusBar = !statusBar; }
    void OpenCustomizeDialog() override { ++customizeDialogs; }
    bool ribbonFolded() const override { return ribbonFoldedNow; }
    void SetRibbonFolded(bool folded) override { ribbonFoldedNow = folded; }
    bool pictureFullScreen() const override { return fullScreen; }
    void SetPictureFullScreen(bool on) override { fullScreen = on; }
    void Close() override { closed = true; }
    void OpenDocument() override { ++documentsOpened; }
    void ShowInViewer(const QString& path) override { viewed.push_back(path); }
    DisplaySize displaySize() const override { return frame_->view()->sizeMode(); }
    void SetDisplaySize(DisplaySize size) override { frame_->view()->SetDisplaySize(size); }
    bool CancelPictureSelection() override { return frame_->view()->webcam()->CancelSelection(); }
    void OpenDelayDialog(AppFolders& folders, SettingsValues& values) override
    {
        OpenDelayDialogOver(boxParent(), folders, values);
    }
    void OpenAboutDialog() override { ++aboutDialogs; }
    std::optional<CameraAnswer> AskForCamera(std::vector<CameraInfo> present, const QString& remembered,
        cv::Size currentSize) override
    {
        return AskForCameraInDialog(std::move(present), remembered, currentSize, boxParent());
    }
    void OpenCameraSettings(const CameraInfo* camera) override
    {
        ++cameraSettingsDialogs;
        cameraSettingsFor = camera != nullptr ? camera->id : std::string();
    }

    QString status;
    unsigned lookValue = 0;
    bool captionBar = false, statusBar = true, fullScreen = false, closed = false;
    int customizeDialogs = 0, aboutDialogs = 0, documentsOpened = 0;
    int cameraSettingsDialogs = 0;
    std::string cameraSettingsFor; // the camera of the last settings dialog; empty for none
    std::vector<QString> viewed;   // files asked to be shown in the viewer
    bool ribbonFoldedNow = false;

private:
    CChildFrame*& frame_;
};

// The child frame and its commands in a temporary program folder with a settings workbook and
// the asset folders; boxes and the shell are recorded, the countdown's clock is the test's.
class CommandRig : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        folders = AppFolders::FromAppDir(QStringToPath(dir.path()));
        for (const auto& folder : { folders.systemDir, folders.photoDir, folders.frameDir, folders.addOnDir })
            ASSERT_TRUE(QDir().mkpath(PathToQString(folder)));
        ExcelDocument doc;
        doc.NewBook({ u"Sheet1" });
        ASSERT_TRUE(doc.WriteBook(SettingsWorkbookPath(folders.systemDir)).ok());
        frame = std::make_unique<CChildFrame>(folders, values, ScriptedFactory(state), QSize(1000, 700));
        frame->resize(1000, 560);
        frame->show();
        shownFrame = frame.get();
        session().SetTickSource([this] { return now; });
        context = std::make_unique<CommandContext>(
            CommandContext { window, boxes, shell, folders, values, &session(), frame.get() });
        boxes.shown.clear(); // the side pane reports its empty folders
    }
    void TearDown() override { session().Stop(); }

    CParvelWebcamView* view() const { return frame->view(); }
    CWebcamCtl* webcam() const { return frame->view()->webcam(); }
    PictureSession& session() const { return frame->view()->session(); }
    CFrameView* pane() const { return frame->pane(); }
    void Run(CommandId id) { ASSERT_TRUE(table.Run(id, *context, input)) << id; }
    CommandState Update(CommandId id) const { return table.Update(id, *context, input); }
    std::string WorkbookBytes() const
    {
        std::ifstream in(SettingsWorkbookPath(folders.systemDir), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // What the next start reads from the workbook.
    AppFolders StoredFolders() const
    {
        AppFolders loaded = AppFolders::FromAppDir(folders.appDir);
        SettingsValues ignored;
        EXPECT_TRUE(LoadSettings(loaded, ignored).ok());
        return loaded;
    }

    QTemporaryDir dir;
    AppFolders folders;
    SettingsValues values;
    std::shared_ptr<ScriptedSourceState> state = std::make_shared<ScriptedSourceState>();
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes installBoxes { boxes };
    RecordingShell shell;
    std::unique_ptr<CChildFrame> frame;
    CChildFrame* shownFrame = nullptr;
    RecordingWindow window { shownFrame };
    QString& status = window.status;
    std::unique_ptr<CommandContext> context;
    CommandTable table = BuildCommandTable();
    CommandInput input; // what the control sends with the next Run
    quint64 now = 1'000'000;
};
