#pragma once

#include <functional>

class QDialog;

// Runs modal dialogs. Tests replace the runner so that a dialog is inspected and answered
// instead of blocking on its event loop.
using DialogRunner = std::function<int(QDialog&)>;

// Shows the dialog modally through the runner in force and returns its result.
int RunDialog(QDialog& dialog);

// Installs a runner for the lifetime of a scope (a test) and restores the previous one.
class ScopedDialogRunner {
public:
    explicit ScopedDialogRunner(DialogRunner runner);
    ~ScopedDialogRunner();
    ScopedDialogRunner(const ScopedDialogRunner&) = delete;
    ScopedDialogRunner& operator=(const ScopedDialogRunner&) = delete;

private:
    DialogRunner previous_;
};
