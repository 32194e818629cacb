#pragma once

#include <QFrame>

class CommandActions;
class QLabel;
class QPushButton;

// The message bar under the command bars: a button "选项..." (a command row), a line of text and
// an information image with its tooltip. Hidden until the user shows it.
class CaptionBar : public QFrame {
    Q_OBJECT
public:
    CaptionBar(CommandActions& actions, QWidget* parent = nullptr);

    QPushButton* optionsButton() const { return options_; }
    QLabel* textLabel() const { return text_; }
    QLabel* imageLabel() const { return image_; }

private:
    QPushButton* options_ = nullptr;
    QLabel* text_ = nullptr;
    QLabel* image_ = nullptr;
};
