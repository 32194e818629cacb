#pragma once

#include "pipeline/FrameSource.h"
#include "settings/SettingsValues.h"

#include <QMainWindow>

class CChildFrame;
class QLabel;

// The main window: the document with the picture and the side pane, a tool bar for the
// picture's commands, and the status bar.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
        QWidget* parent = nullptr);

    CChildFrame* child() const { return child_; }
    void SetStatusText(const QString& text);
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolBar();

    CChildFrame* child_ = nullptr;
    QLabel* statusText_ = nullptr;
};
