#pragma once

#include "ui/DesktopTrash.h"

#include <QString>

#include <optional>
#include <vector>

class QWidget;

// What the program asks of the desktop: open a folder or a file with its default program, let
// the user choose a folder, and move a file into the user's trash. Tests replace the service so
// that nothing opens, no dialog blocks and no test trashes into the user's own trash.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a folder in the file manager or a file in its program; false when the desktop
    // refused.
    virtual bool Open(const QString& path) = 0;
    // Opens a web address in the default browser; false when the desktop refused.
    virtual bool OpenLink(const QString& url) = 0;
    // Asks the user for a folder, starting at `start`; nothing when the user cancelled.
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
    // Moves a file into the user's trash; where there is none for it, the file stays.
    virtual TrashResult MoveToTrash(const QString& path) = 0;
};

// The desktop's own services.
class DesktopShell final : public Shell {
public:
    bool Open(const QString& path) override;
    bool OpenLink(const QString& url) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;
    TrashResult MoveToTrash(const QString& path) override;
};

// Records every request and answers with preset results.
class RecordingShell final : public Shell {
public:
    bool Open(const QString& path) override;
    bool OpenLink(const QString& url) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;
    // Moves the file into trashFolder when one is set; without one there is no trash.
    TrashResult MoveToTrash(const QString& path) override;

    std::vector<QString> opened;
    std::vector<QString> links;
    std::vector<QString> chooserStarts;
    std::vector<QString> chooserTitles;
    std::vector<QWidget*> chooserParents;
    bool openSucceeds = true;
    std::optional<QString> chosenFolder;
    std::vector<QString> trashed; // every file asked to go to the trash
    QString trashFolder;
};

// The service in force for the whole process (the desktop one unless replaced).
Shell& DesktopServices();
// Installs a service for the lifetime of a scope (a test) and restores the previous one.
class ScopedShell {
public:
    explicit ScopedShell(Shell& service);
    ~ScopedShell();
    ScopedShell(const ScopedShell&) = delete;
    ScopedShell& operator=(const ScopedShell&) = delete;

private:
    Shell* previous_;
};
