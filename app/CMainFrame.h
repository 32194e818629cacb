#pragma once

#include "app/commands/CommandTable.h"
#include "pipeline/FrameSource.h"
#include "settings/SettingsValues.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class CChildFrame;
class CommandToolBar;
class QLabel;
struct CommandContext;

// The main window: the document with the picture and the side pane, the command bars, and the
// status bar.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
        QWidget* parent = nullptr);
    ~CMainFrame() override;

    CChildFrame* child() const { return child_; }
    void SetStatusText(const QString& text);
    QString statusText() const;

    const CommandTable& commands() const { return commands_; }
    CommandContext& commandContext() { return *context_; }
    const std::vector<CommandToolBar*>& commandBars() const { return bars_; }
    // The update pass: every shown command takes its state from the model.
    void RefreshCommands();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildCommandBars();

    AppFolders folders_;
    SettingsValues values_;
    CChildFrame* child_ = nullptr;
    QLabel* statusText_ = nullptr;
    CommandTable commands_;
    std::unique_ptr<CommandContext> context_;
    std::vector<CommandToolBar*> bars_;
};
