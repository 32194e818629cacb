#pragma once

#include "app/commands/ViewerPort.h"

#include <QWidget>

#include <memory>
#include <vector>

class CommandActions;
class MediaClip;
class QFileSystemWatcher;
class QLabel;
class QTimer;
class ViewerCanvas;

// The program's own photo viewer: a window of its own showing one file of the photo folder large
// (a photo, a GIF playing, a video playing, each over and over), and going through the others in
// the photos strip's order with the arrow keys. Its buttons and keys are rows of the command
// table: previous, next, pause, copy, delete, open with the desktop's program, close. A file that
// is damaged or has gone shows a sentence saying so instead of a picture.
class CPhotoViewer : public QWidget, public ViewerPort {
    Q_OBJECT
public:
    CPhotoViewer(CommandActions& actions, QWidget* parent = nullptr);
    ~CPhotoViewer() override;

    // Shows the file, with the files of its folder around it, and brings the window up.
    void ShowFile(const QString& path);

    QString shownPath() const override;
    QImage shownPicture() const override;
    bool CanStep(int step) const override;
    void Step(int step) override;
    bool moving() const override;
    bool playing() const override { return playing_; }
    void SetPlaying(bool playing) override;
    void ReleaseFile(const QString& path) override;
    void FileSettled(const QString& path) override;
    void ShowNote(const QString& text) override;
    QWidget* boxParent() override { return this; }
    void CloseViewer() override { close(); }

    // The next frame of a GIF or video now, as its timer does when its time has come.
    void AdvanceClip();
    // What the viewer says instead of a picture (a damaged or vanished file, an empty folder);
    // empty while it shows one.
    QString message() const;
    // Where the shown file stands in its folder's row (from 0), and how many files there are.
    int place() const;
    int count() const { return static_cast<int>(list_.size()); }
    QString note() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // What the viewer shows when it has no picture of the file.
    enum class Absence { None, Missing, Unreadable, TooLarge, Empty };

    void Load(const QString& path);
    void ShowNothing();
    void ListAgain();
    void FolderChanged();
    void ScheduleFrame();
    void UpdateTexts();
    void Refresh();

    CommandActions& actions_;
    ViewerCanvas* canvas_ = nullptr;
    QLabel* place_ = nullptr;
    QLabel* note_ = nullptr;
    QTimer* frameTimer_ = nullptr;
    QTimer* noteTimer_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QString folder_;
    QString path_;
    std::vector<QString> list_; // the folder's files as last listed, in the strip's order
    std::vector<QString> shownFrom_; // the last list that held the shown file
    std::unique_ptr<MediaClip> clip_;
    QImage picture_; // the frame on the screen, kept while the file is let go
    Absence absence_ = Absence::None;
    bool playing_ = true;
    bool placed_ = false; // sized and placed over the main window once
};
