#pragma once

#include "app/ribbon/RibbonControls.h"
#include "app/ribbon/RibbonLayout.h"

#include <QWidget>

#include <vector>

class CommandActions;
class QFrame;
class QLabel;
class QToolButton;

// One panel of a category: its controls in columns above its caption. When the window is too
// narrow it folds into one button that drops the whole panel down.
class RibbonPanel : public QWidget {
    Q_OBJECT
public:
    RibbonPanel(const PanelLayout& layout, CommandActions& actions, QWidget* parent = nullptr);

    const std::vector<ShownControl>& controls() const { return controls_; }
    const QString& keyTip() const { return keyTip_; }
    QString caption() const;

    void SetFolded(bool folded);
    bool folded() const { return folded_; }
    int unfoldedWidth() const { return unfoldedWidth_; }
    int foldedWidth() const;
    // The panel dropped down from its folded button (key tips, tests).
    void ShowDropDown();
    void HideDropDown();
    QToolButton* foldedButton() const { return foldedButton_; }
    QWidget* body() const { return body_; }

private:
    QWidget* body_ = nullptr; // columns and caption
    QLabel* caption_ = nullptr;
    QToolButton* foldedButton_ = nullptr;
    QFrame* dropDown_ = nullptr;
    std::vector<ShownControl> controls_;
    QString keyTip_;
    bool folded_ = false;
    int unfoldedWidth_ = 0;
};
