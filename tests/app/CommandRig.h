#pragma once

#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/CChildFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"
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
        view()->SetTickSource([this] { return now; });
        context = std::make_unique<CommandContext>(CommandContext { nullptr, frame.get(),
            [this](const QString& text) { status = text; }, boxes, shell, folders, values });
        boxes.shown.clear(); // the side pane reports its empty folders
    }
    void TearDown() override { webcam()->StopCamera(); }

    CParvelWebcamView* view() const { return frame->view(); }
    CWebcamCtl* webcam() const { return frame->view()->webcam(); }
    CFrameView* pane() const { return frame->pane(); }
    void Run(CommandId id) { ASSERT_TRUE(table.Run(id, *context)) << id; }
    CommandState Update(CommandId id) const { return table.Update(id, *context); }
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
    std::unique_ptr<CommandContext> context;
    CommandTable table = BuildCommandTable();
    QString status;
    quint64 now = 1'000'000;
};
