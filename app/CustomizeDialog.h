#pragma once

#include <QDialog>

#include <vector>

class QCheckBox;
class QWidget;

// Which bars the window shows: one check box per bar, applied on OK.
class CustomizeDialog : public QDialog {
    Q_OBJECT
public:
    struct Bar {
        QString name;
        QWidget* widget;
    };
    CustomizeDialog(std::vector<Bar> bars, QWidget* parent = nullptr);

    const std::vector<QCheckBox*>& boxes() const { return boxes_; }
    // OK: every bar shown or hidden as its box says.
    void accept() override;

private:
    std::vector<Bar> bars_;
    std::vector<QCheckBox*> boxes_;
};
