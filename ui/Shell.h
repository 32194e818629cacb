#pragma once

#include <QString>

#include <optional>
#include <vector>

class QWidget;

// What the program asks of the desktop: open a folder or a file with its default program, and
// let the user choose a folder. Tests replace the service so that nothing opens and no dialog
// blocks.
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
};

// The desktop's own services.
class DesktopShell final : public Shell {
public:
    bool Open(const QString& path) override;
    bool OpenLink(const QString& url) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;
};

// Records every request and answers with preset results.
class RecordingShell final : public Shell {
public:
    bool Open(const QString& path) override;
    bool OpenLink(const QString& url) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;

    std::vector<QString> opened;
    std::vector<QString> links;
    std::vector<QString> chooserStarts;
    std::vector<QString> chooserTitles;
    std::vector<QWidget*> chooserParents;
    bool openSucceeds = true;
    std::optional<QString> chosenFolder;
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
