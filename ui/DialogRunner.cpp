#include "ui/DialogRunner.h"

#include <QDialog>

#include <utility>

namespace {
DialogRunner& Installed()
{
    static DialogRunner runner;
    return runner;
}
} // namespace

int RunDialog(QDialog& dialog)
{
    if (const DialogRunner& runner = Installed())
        return runner(dialog);
    return dialog.exec();
}

ScopedDialogRunner::ScopedDialogRunner(DialogRunner runner)
    : previous_(std::exchange(Installed(), std::move(runner)))
{
}

ScopedDialogRunner::~ScopedDialogRunner()
{
    Installed() = std::move(previous_);
}
