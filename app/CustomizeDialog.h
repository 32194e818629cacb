#pragma once

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QWidget;

// Which bars the window shows: one check box per bar, applied on OK. Of the bars that lead to the
// commands at least one stays shown: without them nothing would lead back but a restart.
class CustomizeDialog : public QDialog {
    Q_OBJECT
public:
    struct Bar {
        QString name;
        QWidget* widget;
        bool leadsToCommands = false;
    };
    CustomizeDialog(std::vector<Bar> bars, QWidget* parent = nullptr);

    const std::vector<QCheckBox*>& boxes() const { return boxes_; }
    QPushButton* okButton() const { return ok_; }
    // Says why OK is refused; hidden while it is not.
    QLabel* refusal() const { return refusal_; }
    // OK: every bar shown or hidden as its box says; refused while no bar that leads to the
    // commands would show.
    void accept() override;

private:
    bool KeepsAWayToTheCommands() const;
    void UpdateRefusal();

    std::vector<Bar> bars_;
    std::vector<QCheckBox*> boxes_;
    QPushButton* ok_ = nullptr;
    QLabel* refusal_ = nullptr;
};
