#pragma once

#include "app/AppFolders.h"
#include "settings/SettingsValues.h"
#include "ui/MessageBoxes.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The delay-time dialog: one field for the seconds of the delayed photo. OK checks the entry,
// sets delaySeconds and writes it to the settings workbook; Cancel changes nothing.
class CTimeSetDlg : public QDialog {
    Q_OBJECT
public:
    CTimeSetDlg(const AppFolders& folders, SettingsValues& values, QWidget* parent = nullptr);

    QLineEdit* delayField() const { return field_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QLabel* delayLabel() const { return label_; }
    QLabel* unitLabel() const { return unit_; }

    // The font of the dialog: "微软雅黑" where it is installed, otherwise "Noto Sans CJK SC".
    static QString FontFamily();

public slots:
    // OK: an entry that is not a whole number from 1 up keeps the dialog open with a message.
    void accept() override;

private:
    // Tells why the entry was refused and leaves the dialog open with the entry selected.
    void RefuseEntry(const QString& message, const QString& caption, MessageIcon icon);

    const AppFolders& folders_;
    SettingsValues& values_;
    QLineEdit* field_ = nullptr;
    QLabel* label_ = nullptr;
    QLabel* unit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Opens the delay dialog over parent without blocking the event loop; a second request while it
// is open brings the open one forward.
void OpenDelayDialogOver(QWidget* parent, AppFolders& folders, SettingsValues& values);
