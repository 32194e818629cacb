#pragma once

#include <QImage>
#include <QString>

class QWidget;

// The program's photo viewer as the command rows see it: the file it shows, and going through
// the photo folder in the photos strip's order. The photos' rows (copy, delete, open with the
// desktop's program) act on the file it shows when no file comes with the command.
class ViewerPort {
public:
    virtual ~ViewerPort() = default;

    // The file shown; empty while the viewer is closed or has nothing left to show.
    virtual QString shownPath() const = 0;
    // What is on the screen: the picture, a GIF's or a video's frame now; null when the file
    // could not be read.
    virtual QImage shownPicture() const = 0;
    // Whether there is a file `step` places on (-1: the newer one before, 1: the older after).
    virtual bool CanStep(int step) const = 0;
    virtual void Step(int step) = 0;
    // A GIF or a video: playing, or held at its frame.
    virtual bool moving() const = 0;
    virtual bool playing() const = 0;
    virtual void SetPlaying(bool playing) = 0;
    // Before a file is moved or deleted the viewer stops reading it (the picture stays); after,
    // a file that went makes way for the next one (the newer one at the end of the row), and
    // one that stayed is read again.
    virtual void ReleaseFile(const QString& path) = 0;
    virtual void FileSettled(const QString& path) = 0;
    // A word on what a command did, shown in the viewer, which may cover the status bar.
    virtual void ShowNote(const QString& text) = 0;
    // The parent of the boxes a command asks in the viewer.
    virtual QWidget* boxParent() = 0;
    virtual void CloseViewer() = 0;
};
