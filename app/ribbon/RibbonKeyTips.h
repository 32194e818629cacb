#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QLabel;
class QWidget;
class RibbonBar;
class RibbonPanel;

// Key tips: pressing and releasing Alt shows a letter over every control of the tab row and over
// the category tabs; typing it opens the category (showing its controls' letters) or runs the
// control. Esc goes back a level, a click anywhere ends it.
class RibbonKeyTips : public QObject {
    Q_OBJECT
public:
    RibbonKeyTips(RibbonBar& ribbon, QWidget& window);
    ~RibbonKeyTips() override;

    void ShowTop();
    void ShowCategory(int index);
    void Hide();
    bool shown() const { return !targets_.empty(); }
    // The tips shown now that still match what was typed.
    QStringList shownTips() const;
    // One typed key while tips show; false when nothing matched.
    bool Type(QChar key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Target {
        QString tip;
        QWidget* widget = nullptr;
        QRect area; // in the widget
        std::function<void()> act;
    };
    // Where a tip goes, so that no caption is covered.
    enum class Place {
        UnderCaption, // tabs and the tab row's controls: centred under the caption
        BottomEdge,   // large buttons: centred on the bottom edge, below the caption
        Left,         // small controls: at the left, over the icon, ending before the text
    };
    static Place PlaceOf(const Target& target);
    static QPoint TipTopLeft(const Target& target, Place place, QSize tip);
    void ShowPanel(RibbonPanel* panel, int category);
    void Show(std::vector<Target> targets, std::function<void()> back);
    void PlaceLabels();
    bool InWindow(QObject* object) const;

    RibbonBar& ribbon_;
    QWidget& window_;
    std::vector<Target> targets_;
    std::vector<QLabel*> labels_;
    std::function<void()> back_;
    QString typed_;
    bool altAlone_ = false;
};
