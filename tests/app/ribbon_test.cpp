#include "MainWindowRig.h"
#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CWelcomeMovie.h"
#include "app/DisplayFit.h"
#include "app/commands/CommandNames.h"
#include "app/ribbon/ColourPalette.h"
#include "app/ribbon/RibbonBar.h"
#include "app/ribbon/RibbonKeyTips.h"
#include "app/ribbon/RibbonLayout.h"
#include "app/ribbon/RibbonPanel.h"
#include "pipeline/CWebcamCtl.h"
#include "ui/DialogRunner.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <array>

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

TEST(RibbonLayoutTest, TheProgramsLayoutHasTheCategoriesAndPanelsInOrder)
{
    EnsureQtApp();
    const RibbonLayout& layout = ProgramRibbonLayout();
    QStringList categories;
    QStringList panels;
    for (const CategoryLayout& category : layout.categories) {
        categories << category.caption;
        for (const PanelLayout& panel : category.panels)
            panels << panel.caption;
    }
    EXPECT_EQ(categories, QStringList({ "欢迎光临", "特效娱乐", "精美相框", "文件查看", "软件助手" }));
    EXPECT_EQ(panels,
        QStringList({ "照相机", "拍照", "录像", "色彩：自定义通道", "色彩：颜色模式", "炫彩风格", "ROI关键区域", "图像翻转",
            "光流互动", "挥毫泼墨", "背景", "趣味特效", "大相框设置", "小挂件设置", "文件存储设置", "帮助", "视图", "语言" }));
    EXPECT_EQ(layout.application.items, std::vector<CommandId>({ ID_OPEN_DOCUMENT, ID_APP_EXIT }));
    EXPECT_EQ(layout.tabRow[0].text, "样式");
    EXPECT_EQ(layout.tabRow[0].items.size(), 5u);
    EXPECT_EQ(layout.tabRow[1].id, ID_APP_ABOUT);

    int sliders = 0;
    for (const PanelLayout& panel : layout.categories[0].panels)
        for (const ControlLayout& c : panel.controls)
            if (c.kind == ControlLayout::Slider) {
                ++sliders;
                EXPECT_EQ(std::tie(c.minimum, c.maximum, c.start, c.width), std::make_tuple(0, 200, 100, 100));
            }
    EXPECT_EQ(sliders, 6);
}

TEST(RibbonLayoutTest, ALayoutThatDoesNotReadSaysWhy)
{
    QString error;
    EXPECT_FALSE(ParseRibbonLayout("{", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(ParseRibbonLayout(R"({"categories": []})", &error));
    EXPECT_FALSE(ParseRibbonLayout(
        R"({"categories": [{"caption": "a", "panels": [{"controls": [{"type": "large", "id": "ID_NOT_THERE"}]}]}]})",
        &error));
    EXPECT_TRUE(error.contains("ID_NOT_THERE"));
    EXPECT_FALSE(ParseRibbonLayout(
        R"({"categories": [{"caption": "a", "panels": [{"controls": [{"type": "wheel", "id": "ID_APP_EXIT"}]}]}]})",
        &error));
    EXPECT_FALSE(ParseRibbonLayout(R"({"categories": [{"caption": "a", "panels": [{"controls": [{"type": "small"}]}]}]})",
        &error));
    const auto fine = ParseRibbonLayout(
        R"({"categories": [{"caption": "a", "panels": [{"controls": [{"type": "small", "id": "ID_APP_EXIT"}]}]}]})",
        &error);
    ASSERT_TRUE(fine);
    EXPECT_EQ(fine->PlacedIds(), std::vector<CommandId>({ ID_APP_EXIT }));
}

class RibbonTest : public MainWindowRig {
protected:
    void SetUp() override
    {
        MainWindowRig::SetUp();
        QCoreApplication::processEvents();
    }
    std::optional<QSize> InitialSize() const override { return QSize(1400, 900); }

    RibbonBar* ribbon() const { return window->ribbon(); }
    PictureSettings settings() const { return webcam()->model().settings.Snapshot(); }
    template <class W>
    W* ControlWidget(CommandId id) const
    {
        const ShownControl* shown = ribbon()->ControlFor(id);
        return shown == nullptr ? nullptr : qobject_cast<W*>(shown->widget);
    }
    static void Click(QWidget* widget, QPoint at)
    {
        QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
            Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
            Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    }
    void Key(int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(window.get(), &press);
        QCoreApplication::sendEvent(window.get(), &release);
    }
    void Alt()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &press);
        QCoreApplication::sendEvent(window.get(), &release);
    }

};

// Every control of the layout has a row; every row but the few kept off the ribbon is shown.
TEST_F(RibbonTest, EveryPlacedCommandHasARowAndEveryRowIsPlaced)
{
    const std::vector<CommandId> placed = ProgramRibbonLayout().PlacedIds();
    for (CommandId id : placed) {
        SCOPED_TRACE(std::string(NameOfCommand(id)));
        ASSERT_TRUE(window->commands().Contains(id));
        const bool shown = ribbon()->ControlFor(id) != nullptr || window->ShownAction(id) != nullptr;
        EXPECT_TRUE(shown);
        if (QAction* action = window->ShownAction(id)) {
            EXPECT_FALSE(action->icon().isNull());
        }
    }
    // Off the ribbon: the right-button menus', the caption bar's, the Esc key's, the face
    // boxes', the side pane's picks' and the photo viewer's commands.
    const std::set<CommandId> elsewhere { ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_CAPTION_BAR_OPTIONS, ID_ESCAPE,
        ID_PHOTO_VIEW, ID_PHOTO_OPEN, ID_PHOTO_OPEN_FOLDER, ID_PHOTO_COPY, ID_PHOTO_DELETE, ID_FACE_BOXES,
        ID_PICK_FRAME, ID_PICK_ADD_ON, ID_VIEWER_PREVIOUS, ID_VIEWER_NEXT, ID_VIEWER_PLAY, ID_VIEWER_CLOSE };
    for (CommandId id : window->commands().ids()) {
        if (elsewhere.count(id) == 0) {
            EXPECT_NE(std::find(placed.begin(), placed.end(), id), placed.end()) << NameOfCommand(id);
        }
    }
}

TEST_F(RibbonTest, MouseOnTabsAndButtonsRunsCommandsAndDoubleClickFoldsTheRibbon)
{
    QTabBar* tabs = ribbon()->tabs();
    Click(tabs, tabs->tabRect(1).center());
    EXPECT_EQ(ribbon()->currentCategory(), 1);
    auto* blackWhite = ControlWidget<QToolButton>(ID_BUTTON_BLACKWHITE);
    ASSERT_NE(blackWhite, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return blackWhite->isVisible(); }));
    Click(blackWhite, blackWhite->rect().center());
    EXPECT_EQ(settings().effectStyle, kEffectBlackWhite);
    EXPECT_TRUE(blackWhite->isChecked());
    auto* sketch = ControlWidget<QToolButton>(ID_BUTTON_SKETCH);
    Click(sketch, sketch->rect().center());
    EXPECT_EQ(settings().effectStyle, kEffectSketch);
    EXPECT_FALSE(blackWhite->isChecked());

    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, tabs->tabRect(1).center(),
        tabs->mapToGlobal(tabs->tabRect(1).center()), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tabs, &doubleClick);
    EXPECT_TRUE(ribbon()->folded());
    EXPECT_FALSE(sketch->isVisible());
    QCoreApplication::sendEvent(tabs, &doubleClick);
    EXPECT_FALSE(ribbon()->folded());
    EXPECT_TRUE(sketch->isVisible());
}

TEST_F(RibbonTest, KeyTipsOpenCategoriesAndRunCommands)
{
    Alt();
    RibbonKeyTips* tips = window->keyTips();
    ASSERT_TRUE(tips->shown());
    EXPECT_EQ(tips->shownTips(), QStringList({ "F", "S", "A", "N", "H", "T", "X", "W", "R" }));
    Key(Qt::Key_T, "t");
    EXPECT_EQ(ribbon()->currentCategory(), 1);
    EXPECT_TRUE(tips->shownTips().contains("B"));
    Key(Qt::Key_B, "b");
    EXPECT_FALSE(tips->shown());
    EXPECT_EQ(settings().effectStyle, kEffectBlackWhite);

    // A letter no tip has changes nothing; Esc goes back a level, then ends.
    Alt();
    Key(Qt::Key_T, "t");
    const QStringList categoryTips = tips->shownTips();
    Key(Qt::Key_J, "j");
    EXPECT_EQ(tips->shownTips(), categoryTips);
    EXPECT_EQ(settings().effectStyle, kEffectBlackWhite);
    Key(Qt::Key_Escape);
    EXPECT_TRUE(tips->shownTips().contains("T"));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(tips->shown());

    // Letters typed without tips are the window's again.
    Key(Qt::Key_B, "b");
    EXPECT_EQ(settings().effectStyle, kEffectBlackWhite);
}

TEST_F(RibbonTest, NarrowWindowFoldsPanelsIntoDropDownsInsteadOfCuttingThemOff)
{
    // The effects category unfolds whole on a desktop's full width.
    ribbon()->SetCurrentCategory(1);
    window->resize(1920, 900);
    ASSERT_TRUE(WaitUntil([&] { return !ribbon()->panels(1).back()->folded(); }));
    for (RibbonPanel* panel : ribbon()->panels(1))
        EXPECT_FALSE(panel->folded()) << panel->caption().toStdString();
    window->resize(640, 700);
    ASSERT_TRUE(WaitUntil([&] { return ribbon()->width() <= 640; })) << ribbon()->width();
    QCoreApplication::processEvents();
    const std::vector<RibbonPanel*>& panels = ribbon()->panels(1);
    EXPECT_TRUE(panels.back()->folded());

    // Folded panels have two-letter tips that narrow down as they are typed.
    Alt();
    Key(Qt::Key_T, "t");
    Key(Qt::Key_Y, "y");
    const QStringList narrowed = window->keyTips()->shownTips();
    EXPECT_FALSE(narrowed.isEmpty());
    for (const QString& tip : narrowed)
        EXPECT_TRUE(tip.startsWith("Y")) << tip.toStdString();
    Key(Qt::Key_5, "5"); // the doodle panel drops down with its controls' tips
    EXPECT_TRUE(window->keyTips()->shownTips().contains("W"));
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(window->keyTips()->shown());
    int used = 0;
    for (RibbonPanel* panel : panels)
        used += panel->folded() ? panel->foldedWidth() : panel->unfoldedWidth();
    EXPECT_LE(used, ribbon()->width());
    // A folded panel drops its controls down, and they still work.
    RibbonPanel* flips = panels[2];
    ASSERT_TRUE(flips->folded());
    flips->ShowDropDown();
    auto* upsideDown = ControlWidget<QToolButton>(ID_BUTTON_V_FLIP);
    ASSERT_TRUE(WaitUntil([&] { return upsideDown->isVisible(); }));
    Click(upsideDown, upsideDown->rect().center());
    EXPECT_EQ(settings().flipMode, kFlipMirrorUpsideDown);
    flips->HideDropDown();
    // At the screen's right edge the last folded panel opens leftwards, wholly on the screen.
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.right() + 1 - window->frameGeometry().width(), screen.top());
    QCoreApplication::processEvents();
    panels.back()->ShowDropDown();
    auto* dropDown = panels.back()->findChild<QFrame*>("ribbonPanelDropDown");
    ASSERT_NE(dropDown, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return dropDown->isVisible(); }));
    EXPECT_GT(dropDown->width(), panels.back()->foldedWidth());
    EXPECT_LE(dropDown->frameGeometry().right(), screen.right());
    EXPECT_GE(dropDown->frameGeometry().left(), screen.left());
    panels.back()->HideDropDown();
    window->resize(1920, 900);
    ASSERT_TRUE(WaitUntil([&] { return !panels.back()->folded(); }));
}

// A slider whose channel the colour model leaves alone is shown disabled and says why; the
// others stay in use, and back in RGB all six are.
TEST_F(RibbonTest, SlidersThatChangeNothingInAModelAreDisabledWithTheReason)
{
    const CommandId ids[] = { ID_SLIDER_B0, ID_SLIDER_B1, ID_SLIDER_B2, ID_SLIDER_C0, ID_SLIDER_C1, ID_SLIDER_C2 };
    auto check = [&](CommandId model, std::array<bool, 3> acting, const char* reason) {
        auto* box = ControlWidget<QCheckBox>(model);
        ASSERT_NE(box, nullptr);
        box->click();
        for (int i = 0; i < 6; ++i) {
            auto* slider = ControlWidget<QSlider>(ids[i]);
            ASSERT_NE(slider, nullptr);
            const bool acts = acting[std::size_t(i % 3)];
            EXPECT_EQ(slider->isEnabled(), acts) << model << " slider " << i;
            EXPECT_EQ(slider->toolTip().contains(QString::fromUtf8(reason)), !acts) << model << " slider " << i;
            EXPECT_TRUE(slider->toolTip().contains(QStringLiteral("通道%1").arg(i % 3 + 1))) << model << " slider " << i;
        }
    };
    check(ID_CHECK_HSV, { false, true, true }, "色相不随亮度/对比度变化");
    check(ID_CHECK_HLS, { false, true, true }, "色相不随亮度/对比度变化");
    check(ID_CHECK_YCRCB, { true, false, false }, "只有通道1（亮度）随亮度/对比度变化");
    check(ID_CHECK_RGB, { true, true, true }, "随亮度/对比度变化");
}

TEST_F(RibbonTest, SlidersPaletteAndPenGalleryWorkThroughTheirWidgets)
{
    auto* slider = ControlWidget<QSlider>(ID_SLIDER_B1);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 200);
    EXPECT_EQ(slider->value(), 100);
    EXPECT_EQ(slider->width(), 100);
    slider->setValue(160);
    EXPECT_EQ(settings().sliders.brightness[1], 160);
    window->ShownAction(ID_BUTTON_DEFUALT_COLOR)->trigger();
    EXPECT_EQ(slider->value(), 100);
    EXPECT_EQ(settings().sliders.brightness[1], 100);

    auto* paint = ControlWidget<QToolButton>(ID_BUTTON_PAINT_COLOR);
    ASSERT_NE(paint, nullptr);
    auto* palette = paint->menu()->findChild<ColourPalette*>();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->perRow(), 5);
    EXPECT_EQ(ControlWidget<QToolButton>(ID_BUTTON_FLOW_COLOR)->menu()->findChild<ColourPalette*>()->perRow(),
        ColourPalette::kDefaultPerRow);
    auto* automatic = palette->findChild<QPushButton*>("automaticColour");
    ASSERT_NE(automatic, nullptr);
    automatic->click(); // the automatic entry is black
    EXPECT_EQ(settings().paintColour, cv::Scalar(0, 0, 0));
    emit palette->picked(QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(settings().paintColour, cv::Scalar(0x30, 0x20, 0x10));
    paint->click(); // the button part sends the colour it holds
    EXPECT_EQ(settings().paintColour, cv::Scalar(0x30, 0x20, 0x10));

    auto* pens = ControlWidget<QToolButton>(ID_BUTTON_PEN_WIDETH);
    ASSERT_NE(pens, nullptr);
    auto* list = pens->menu()->findChild<QListWidget*>("penGallery");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 8);
    EXPECT_EQ(list->iconSize(), QSize(32, 32));
    emit list->itemClicked(list->item(3));
    EXPECT_EQ(settings().penWidth, 8);
}

TEST_F(RibbonTest, AboutDialogHasItsTextsAndProportions)
{
    QString title;
    QStringList texts;
    QSize size;
    ScopedDialogRunner runner([&](QDialog& dialog) {
        auto& about = static_cast<CAboutDlg&>(dialog);
        about.layout()->activate(); // as showing it does
        title = about.windowTitle();
        texts << about.versionText()->text() << about.rightsText()->text() << about.okButton()->text();
        size = about.size();
        // OK under the texts at the right; the texts beside the icon, as wide as the original's.
        EXPECT_GT(about.okButton()->geometry().top(), about.rightsText()->geometry().bottom());
        EXPECT_GE(about.okButton()->geometry().right(), about.versionText()->geometry().right() - 2);
        EXPECT_GE(about.okButton()->width(), about.DialogUnits(0, 0, 50, 14).width());
        EXPECT_GE(about.versionText()->width(), about.DialogUnits(0, 0, 114, 0).width());
        return int(QDialog::Accepted);
    });
    window->ShownAction(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(title, "关于 ParvelWebcam");
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0], "Parvel 乐影屋，2.0 版");
    EXPECT_FALSE(texts[1].isEmpty());
    EXPECT_EQ(texts[2], "确定");
    EXPECT_NEAR(double(size.width()) / size.height(), (170.0 / 4) / (62.0 / 8) * 0.5, 1.2); // wider than high
}

TEST_F(RibbonTest, FullScreenShowsOnlyThePictureAndEscBringsTheWindowBack)
{
    EXPECT_EQ(window->ShownAction(ID_VIEW_FULL_SCREEN)->shortcut(), QKeySequence(Qt::Key_F11));
    EXPECT_EQ(window->ShownAction(ID_BUTTON_PHOTO_DELAY)->shortcut(), QKeySequence("Ctrl+D"));
    EXPECT_EQ(window->ShownAction(ID_BUTTON_SIZE2)->shortcut(), QKeySequence("Ctrl+2"));
    EXPECT_EQ(window->ShownAction(ID_BUTTON_DOC)->shortcut(), QKeySequence(Qt::Key_F1));

    window->ShownAction(ID_BUTTON_SIZE3)->trigger();
    CParvelWebcamView* view = window->child()->view();
    QTabBar* tabs = window->mdiArea()->findChild<QTabBar*>();
    ASSERT_TRUE(tabs != nullptr && tabs->isVisible());
    const QList<int> split = window->child()->splitter()->sizes();
    window->ShownAction(ID_VIEW_FULL_SCREEN)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->pictureFullScreen());
    EXPECT_FALSE(ribbon()->isVisible());
    EXPECT_FALSE(window->statusBar()->isVisible());
    // Nothing but the picture: the view covers the whole window (no tab band, no strip) and the
    // picture sits in its middle, as large as it fits.
    EXPECT_EQ(QRect(view->mapTo(window.get(), QPoint(0, 0)), view->size()), window->rect());
    EXPECT_FALSE(view->movie()->isVisible());
    EXPECT_EQ(webcam()->geometry(), FitPictureRect({ 640, 480 }, view->rect()));
    EXPECT_EQ(view->sizeMode(), kDisplayHalf);

    window->ShownAction(ID_ESCAPE)->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->pictureFullScreen());
    EXPECT_TRUE(ribbon()->isVisible());
    EXPECT_TRUE(window->statusBar()->isVisible());
    tabs = window->mdiArea()->findChild<QTabBar*>();
    EXPECT_TRUE(tabs != nullptr && tabs->isVisible());
    EXPECT_TRUE(view->movie()->isVisible());
    EXPECT_EQ(view->sizeMode(), kDisplayHalf);
    EXPECT_EQ(webcam()->geometry(), QRect(0, 0, 320, 240));
    EXPECT_EQ(window->child()->splitter()->sizes(), split);
}

TEST_F(RibbonTest, ExitFromTheApplicationMenuGoesThroughTheCloseGuard)
{
    QAction* exit = window->ShownAction(ID_APP_EXIT);
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(ribbon()->applicationButton()->menu()->actions().contains(exit));
    ASSERT_TRUE(session().Start());
    exit->trigger();
    EXPECT_TRUE(window->isVisible()); // refused while the camera runs
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().caption, "乐影屋：摄像头未关闭！");
    session().Stop();
    exit->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(RibbonTest, EscCancelsARegionBeingSelected)
{
    ASSERT_TRUE(session().Start());
    window->ShownAction(ID_BUTTON_ROI)->trigger();
    EXPECT_TRUE(settings().regionArmed);
    const QPoint at(30, 30);
    QMouseEvent press(QEvent::MouseButtonPress, at, webcam()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(webcam(), &press);
    ASSERT_TRUE(webcam()->selecting());
    window->ShownAction(ID_ESCAPE)->trigger();
    EXPECT_FALSE(webcam()->selecting());
    EXPECT_FALSE(settings().regionArmed);
    EXPECT_FALSE(settings().zoomRegionOn);
    EXPECT_FALSE(session().loop().paused);
    EXPECT_TRUE(boxes.shown.empty() || boxes.shown.back().text != "确定放大选区？");
}

} // namespace
