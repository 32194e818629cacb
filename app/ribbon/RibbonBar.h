#pragma once

#include "app/ribbon/RibbonControls.h"
#include "app/ribbon/RibbonLayout.h"

#include <QWidget>

#include <vector>

class CommandActions;
class QStackedWidget;
class QTabBar;
class QToolButton;
class RibbonPanel;

// The ribbon: the application button, the category tabs with the look menu and the about button
// on their right, and below them the panels of the chosen category. Built from a layout; every
// control shows a row of the command table through its action.
class RibbonBar : public QWidget {
    Q_OBJECT
public:
    RibbonBar(const RibbonLayout& layout, CommandActions& actions, QWidget* parent = nullptr);

    // Every shown command and control follows the model.
    void Refresh();

    QTabBar* tabs() const { return tabs_; }
    int currentCategory() const;
    void SetCurrentCategory(int index);
    // Folded: only the tab row shows (a double-click on a tab folds and unfolds).
    void SetFolded(bool folded);
    bool folded() const { return folded_; }
    QToolButton* applicationButton() const { return appButton_; }

    // What the key tips reach: the tab row's controls and tabs, and each category's panels.
    const std::vector<ShownControl>& tabRowControls() const { return tabRow_; }
    const std::vector<RibbonPanel*>& panels(int category) const { return pages_[std::size_t(category)].panels; }
    int categoryCount() const { return int(pages_.size()); }
    QString categoryKeyTip(int category) const { return pages_[std::size_t(category)].keyTip; }
    // The control that shows a command, with its widget; null when no control does (menu items).
    const ShownControl* ControlFor(CommandId id) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Page {
        QWidget* widget = nullptr;
        std::vector<RibbonPanel*> panels;
        QString keyTip;
    };
    // Folds panels from the right until the category fits the width, unfolds them when it does.
    void FitPanels();

    CommandActions& actions_;
    QToolButton* appButton_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    std::vector<Page> pages_;
    std::vector<ShownControl> tabRow_;
    bool folded_ = false;
};
