#pragma once

#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/AppFolders.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CParvelWebcamView.h"
#include "pipeline/CWebcamCtl.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// The whole main window over a scripted camera in a temporary program folder; boxes are recorded.
class MainWindowRig : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        folders = AppFolders::FromAppDir(dir.path().toStdString());
        window = MakeWindow();
    }
    void TearDown() override
    {
        if (window && window->child())
            session().Stop();
        window.reset();
    }

    // The size the window is shown at; none keeps the size it gives itself.
    virtual std::optional<QSize> InitialSize() const { return QSize(900, 700); }
    std::unique_ptr<CMainFrame> MakeWindow() const
    {
        auto made = std::make_unique<CMainFrame>(folders, SettingsValues {}, ScriptedFactory(state));
        if (const std::optional<QSize> size = InitialSize())
            made->resize(*size);
        made->show();
        return made;
    }

    CWebcamCtl* webcam() const { return window->child()->view()->webcam(); }
    PictureSession& session() const { return window->child()->view()->session(); }
    QAction* Shown(CommandId id) const { return window->ShownAction(id); }

    QTemporaryDir dir;
    AppFolders folders;
    std::shared_ptr<ScriptedSourceState> state = std::make_shared<ScriptedSourceState>();
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes install { boxes };
    std::unique_ptr<CMainFrame> window;
};
