#include "MainWindowRig.h"

#include "app/commands/CommandContext.h"
#include "app/ribbon/CommandActions.h"
#include "app/ribbon/PenGallery.h"
#include "app/ribbon/RibbonBar.h"
#include "app/ribbon/RibbonKeyTips.h"
#include "app/ribbon/RibbonPanel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QTabBar>
#include <QToolButton>

namespace {

class RibbonDrawingTest : public MainWindowRig {
protected:
    void SetUp() override
    {
        MainWindowRig::SetUp();
        window->SetLook(ID_VIEW_APPLOOK_WINDOWS_7); // dark captions on light bars
        QCursor::setPos(5000, 5000);               // the pointer over none of the ribbon
        QCoreApplication::processEvents();
    }
    std::optional<QSize> InitialSize() const override { return QSize(1400, 900); }

    RibbonBar* ribbon() const { return window->ribbon(); }
    QToolButton* Button(CommandId id) const
    {
        const ShownControl* shown = ribbon()->ControlFor(id);
        return shown == nullptr ? nullptr : qobject_cast<QToolButton*>(shown->widget);
    }
    QToolButton* LooksButton() const { return qobject_cast<QToolButton*>(ribbon()->tabRowControls()[1].widget); }
    void Alt()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &press);
        QCoreApplication::sendEvent(window.get(), &release);
    }
    void Key(int key, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(window.get(), &press);
    }
};

// How many pixels of the check mark's green a part of a picture holds.
int GreenPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = std::max(area.top(), 0); y <= std::min(area.bottom(), image.height() - 1); ++y)
        for (int x = std::max(area.left(), 0); x <= std::min(area.right(), image.width() - 1); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - 0x1E) < 24 && std::abs(c.green() - 0x8C) < 24 && std::abs(c.blue() - 0x3A) < 24;
        }
    return count;
}

TEST_F(RibbonDrawingTest, ButtonsAreDrawnAsBeforeOnceTheirDropDownClosesElsewhere)
{
    ASSERT_TRUE(session().Start()); // the GIF button works while the camera runs
    ribbon()->SetCurrentCategory(3);
    QCoreApplication::processEvents();
    for (QToolButton* button : { Button(ID_BUTTON_PHOTO_DELAY), Button(ID_BUTTON_OPEN_PHOTO_DIR),
             Button(ID_BUTTON_FRAME_TYPE), Button(ID_RECORD_GIF), LooksButton() }) {
        ASSERT_NE(button, nullptr);
        ASSERT_NE(button->menu(), nullptr);
        SCOPED_TRACE(button->text().toStdString());
        const QImage untouched = button->grab().toImage();
        // The pointer came in and opened the menu; the menu closes with the pointer elsewhere.
        button->setAttribute(Qt::WA_UnderMouse, true);
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(button, &enter);
        EXPECT_NE(button->grab().toImage(), untouched); // hovered looks different
        emit button->menu()->aboutToHide();
        QCoreApplication::processEvents();
        EXPECT_FALSE(button->underMouse());
        EXPECT_EQ(button->grab().toImage(), untouched);
    }
}

TEST_F(RibbonDrawingTest, DropDownsCheckTheCurrentChoiceAndMoveTheCheckWithIt)
{
    struct DropDown {
        QToolButton* button;
        CommandId first, second;
    };
    ASSERT_TRUE(session().Start()); // the GIF's length is chosen while the camera runs
    const DropDown dropDowns[] = {
        { Button(ID_BUTTON_IMAGE_SIZE), ID_BUTTON_SIZE1, ID_BUTTON_SIZE3 },
        { LooksButton(), ID_VIEW_APPLOOK_WINDOWS_7, ID_VIEW_APPLOOK_OFF_2007_SILVER },
        { Button(ID_BUTTON_FRAME_TYPE), ID_BUTTON_FRAME_GIF, ID_BUTTON_FRAME_PNG },
        { Button(ID_BUTTON_ADD_ON_TYPE), ID_BUTTON_ADD_ON_GIF, ID_BUTTON_ADD_ON_PNG },
        { Button(ID_RECORD_GIF), ID_GIF_SECONDS_3, ID_GIF_SECONDS_5 },
    };
    for (const DropDown& d : dropDowns) {
        ASSERT_NE(d.button, nullptr);
        QMenu* menu = d.button->menu();
        SCOPED_TRACE(d.button->text().toStdString());
        for (CommandId id : { d.first, d.second }) {
            window->ShownAction(id)->trigger();
            window->RefreshCommands();
            int checked = 0;
            const QImage picture = menu->grab().toImage();
            for (QAction* action : menu->actions()) {
                EXPECT_TRUE(action->isCheckable());
                checked += action->isChecked();
                const int green = GreenPixels(picture, menu->actionGeometry(action));
                if (action == window->ShownAction(id))
                    EXPECT_GT(green, 4) << action->text().toStdString();
                else
                    EXPECT_EQ(green, 0) << action->text().toStdString();
            }
            EXPECT_EQ(checked, 1);
        }
    }
    window->SetLook(ID_VIEW_APPLOOK_WINDOWS_7);
}

TEST_F(RibbonDrawingTest, PenGalleryOpensWithEveryRowWholeAndFramesTheChosenPen)
{
    QToolButton* pens = Button(ID_BUTTON_PEN_WIDETH);
    ASSERT_NE(pens, nullptr);
    auto* gallery = pens->menu()->findChild<PenGallery*>();
    ASSERT_NE(gallery, nullptr);
    QWidget* box = gallery->parentWidget();
    box->resize(box->sizeHint()); // as the drop-down opens it
    box->layout()->activate();
    gallery->doItemsLayout();
    ASSERT_EQ(gallery->count(), 8);
    for (int i = 0; i < gallery->count(); ++i) {
        const QRect cell = gallery->CellRect(i);
        EXPECT_TRUE(gallery->viewport()->rect().contains(cell)) << i;
        EXPECT_GE(cell.width(), 40);
    }
    // As many rows as the pens take: no empty band under the last.
    EXPECT_LE(gallery->viewport()->height() - gallery->CellRect(7).bottom(), 6);

    window->actions().Run(ID_BUTTON_PEN_WIDETH, 5);
    window->RefreshCommands();
    ASSERT_EQ(gallery->currentRow(), 5);
    const QImage picture = gallery->viewport()->grab().toImage();
    const QColor accent = gallery->palette().color(QPalette::Highlight);
    auto accentOnLeftEdge = [&](int row) {
        const QRect cell = gallery->CellRect(row);
        int count = 0;
        for (int y = cell.top() + 8; y < cell.bottom() - 8; ++y)
            for (int x = cell.left(); x < cell.left() + 5; ++x) {
                const QColor c = picture.pixelColor(x, y);
                count += std::abs(c.red() - accent.red()) + std::abs(c.green() - accent.green())
                        + std::abs(c.blue() - accent.blue())
                    < 60;
            }
        return count;
    };
    EXPECT_GT(accentOnLeftEdge(5), 20); // a frame as tall as the cell, not a dot
    EXPECT_EQ(accentOnLeftEdge(4), 0);
}

// Dark, colourless pixels: the captions' letters (the icons' outlines are tinted).
std::vector<QPoint> CaptionInk(QWidget* widget)
{
    const QImage picture = widget->grab().toImage();
    QRect text = widget->rect();
    if (auto* button = qobject_cast<QToolButton*>(widget)) {
        if (button->toolButtonStyle() == Qt::ToolButtonTextUnderIcon)
            text.setTop(button->iconSize().height() + 2);
        else if (button->toolButtonStyle() == Qt::ToolButtonTextBesideIcon)
            text.setLeft(button->iconSize().width() + 2);
    } else if (qobject_cast<QCheckBox*>(widget) != nullptr) {
        text.setLeft(widget->height()); // past the box
    } else if (qobject_cast<QTabBar*>(widget) == nullptr && qobject_cast<QLabel*>(widget) == nullptr) {
        return {};
    }
    std::vector<QPoint> ink;
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            const int spread = std::max({ c.red(), c.green(), c.blue() }) - std::min({ c.red(), c.green(), c.blue() });
            if (c.lightness() < 90 && spread < 16)
                ink.push_back(widget->mapTo(widget->window(), QPoint(x, y)));
        }
    return ink;
}

TEST_F(RibbonDrawingTest, KeyTipsCoverNoCaptionAndNoOtherTip)
{
    auto check = [&](const std::vector<QWidget*>& controls) {
        std::vector<QRect> tips;
        for (QLabel* label : window->findChildren<QLabel*>("ribbonKeyTip"))
            if (label->isVisible())
                tips.push_back(label->geometry());
        ASSERT_FALSE(tips.empty());
        for (std::size_t i = 0; i < tips.size(); ++i)
            for (std::size_t j = i + 1; j < tips.size(); ++j)
                EXPECT_FALSE(tips[i].intersects(tips[j]));
        for (QWidget* control : controls) {
            if (!control->isVisible())
                continue;
            int covered = 0;
            for (const QPoint& ink : CaptionInk(control))
                for (const QRect& tip : tips)
                    covered += tip.contains(ink);
            EXPECT_EQ(covered, 0) << control->metaObject()->className() << " "
                                  << control->property("text").toString().toStdString();
        }
    };
    Alt();
    std::vector<QWidget*> top { ribbon()->tabs() };
    for (const ShownControl& shown : ribbon()->tabRowControls())
        top.push_back(shown.widget);
    QCoreApplication::processEvents();
    {
        SCOPED_TRACE("tabs");
        check(top);
    }
    for (int category = 0; category < ribbon()->categoryCount(); ++category) {
        SCOPED_TRACE(category);
        window->keyTips()->ShowCategory(category);
        ribbon()->SetCurrentCategory(category);
        QCoreApplication::processEvents();
        window->keyTips()->ShowCategory(category); // placed over the shown page
        QCoreApplication::processEvents();
        std::vector<QWidget*> controls;
        for (RibbonPanel* panel : ribbon()->panels(category))
            for (const ShownControl& shown : panel->controls())
                controls.push_back(shown.widget);
        check(controls);
    }
    window->keyTips()->Hide();
}

} // namespace
