#include "CommandRig.h"

#include "app/commands/Rows.h"
#include "pipeline/FunEffectNames.h"

#include <QMouseEvent>
#include <QSettings>

namespace {

CommandId RowOf(FunEffect effect)
{
    return static_cast<CommandId>(ID_FUN_NONE + int(effect));
}

FunEffect Current(CWebcamCtl* webcam)
{
    return webcam->model().settings.Snapshot().funEffect;
}

// One effect at a time: its row is the only one marked, "无" turns it off, the styles stay as
// they were, and the choice is what the next start finds.
TEST_F(CommandRig, FunRowsChooseOneEffectMarkItAndRememberIt)
{
    RememberFunEffect(kFunNone);
    Run(ID_BUTTON_SKETCH);
    for (FunEffect effect : { kFunKaleidoscope, kFunBigHead, kFunOldFilm }) {
        SCOPED_TRACE(int(effect));
        Run(RowOf(effect));
        EXPECT_EQ(Current(webcam()), effect);
        EXPECT_EQ(RememberedFunEffect(), effect);
        for (FunEffect other : kFunEffects)
            EXPECT_EQ(*Update(RowOf(other)).pressed, other == effect) << int(other);
        EXPECT_FALSE(*Update(ID_FUN_NONE).pressed);
        EXPECT_TRUE(Update(ID_FUN_GALLERY).caption->contains(FunEffectName(effect)));
    }
    Run(RowOf(kFunOldFilm)); // the marked one again keeps it: "无" is the way off
    EXPECT_EQ(Current(webcam()), kFunOldFilm);
    EXPECT_EQ(webcam()->model().settings.Snapshot().effectStyle, kEffectSketch);
    Run(ID_FUN_NONE);
    EXPECT_EQ(Current(webcam()), kFunNone);
    EXPECT_TRUE(*Update(ID_FUN_NONE).pressed);
    EXPECT_EQ(RememberedFunEffect(), kFunNone);
    EXPECT_EQ(webcam()->model().settings.Snapshot().effectStyle, kEffectSketch);

    // A stored number this version does not know (a newer one's, a damaged file's) is none.
    QSettings().setValue("FunEffect", 999);
    EXPECT_EQ(RememberedFunEffect(), kFunNone);
    QSettings().setValue("FunEffect", int(kFunMosaic));
    EXPECT_EQ(RememberedFunEffect(), kFunMosaic);
    RememberFunEffect(kFunNone);
}

// The grid: only with a running camera; Ctrl+E's row shows and hides it, the arrows' rows turn
// its pages only while it is up, Esc leaves it with the effect as it was, a pick leaves it with
// the picked effect, and a stop takes it away.
TEST_F(CommandRig, PreviewGridOpensWithTheCameraPagesAndLeavesByEscOrAPick)
{
    RememberFunEffect(kFunNone);
    EXPECT_FALSE(Update(ID_FUN_PREVIEW).enabled);
    table.Run(ID_FUN_PREVIEW, *context);
    EXPECT_FALSE(session().funPreviewShown());
    EXPECT_EQ(QString::fromUtf8(table.Find(ID_FUN_PREVIEW)->shortcut), QStringLiteral("Ctrl+E"));

    ASSERT_TRUE(session().Start());
    Run(RowOf(kFunTwirl));
    EXPECT_FALSE(Update(ID_FUN_PAGE_NEXT).enabled);
    Run(ID_FUN_PREVIEW);
    ASSERT_TRUE(session().funPreviewShown());
    EXPECT_TRUE(*Update(ID_FUN_PREVIEW).pressed);
    EXPECT_TRUE(Update(ID_FUN_PAGE_NEXT).enabled);
    Run(ID_FUN_PAGE_NEXT);
    EXPECT_EQ(webcam()->model().funPreview.page(), 1);
    Run(ID_FUN_PAGE_BACK);
    Run(ID_FUN_PAGE_BACK);
    EXPECT_EQ(webcam()->model().funPreview.page(), FunPreviewPageCount() - 1);

    Run(ID_ESCAPE);
    EXPECT_FALSE(session().funPreviewShown());
    EXPECT_EQ(Current(webcam()), kFunTwirl);

    // A click on a tile of the grid the loop renders picks that tile's effect.
    Run(ID_FUN_PREVIEW);
    ASSERT_TRUE(WaitUntil([&] { return webcam()->model().funPreview.tiles().size() == 9; }, 10000));
    const FunPreviewTile tile = webcam()->model().funPreview.tiles()[0];
    ASSERT_NE(tile.effect, kFunNone);
    CommandId pickedRow = ID_ESCAPE;
    QObject::connect(webcam(), &CWebcamCtl::funEffectPicked, webcam(),
        [&pickedRow](int effect) { pickedRow = static_cast<CommandId>(ID_FUN_NONE + effect); });
    const QPoint at(tile.rect.x + tile.rect.width / 2, tile.rect.y + tile.rect.height / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, webcam()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(webcam(), &press);
    ASSERT_EQ(pickedRow, RowOf(tile.effect));
    Run(pickedRow);
    EXPECT_FALSE(session().funPreviewShown());
    EXPECT_EQ(Current(webcam()), tile.effect);

    Run(ID_FUN_PREVIEW);
    session().Stop();
    EXPECT_FALSE(session().funPreviewShown());
    RememberFunEffect(kFunNone);
}

// The page buttons over the grid: a click turns the page through the rows and never picks the
// tile beneath; a click is the button's only when let go on it; quick clicks turn two pages and
// never switch the camera.
TEST_F(CommandRig, PreviewPageButtonsTurnPagesAndNeverPickTheTileBeneath)
{
    RememberFunEffect(kFunNone);
    ASSERT_TRUE(session().Start());
    Run(ID_FUN_PREVIEW);
    ASSERT_TRUE(WaitUntil([&] { return webcam()->model().funPreview.tiles().size() == 9; }, 10000));
    const PagerLayout pager = webcam()->pagerLayout();
    ASSERT_FALSE(pager.backing.isEmpty());
    const FunPreviewTile corner = webcam()->model().funPreview.tiles()[2];
    ASSERT_TRUE(corner.rect.contains(cv::Point(pager.next.center().x(), pager.next.center().y())))
        << "the buttons lie over a tile";

    std::vector<int> steps;
    int picks = 0;
    int toggles = 0;
    QObject::connect(webcam(), &CWebcamCtl::funPreviewPageRequested, webcam(), [&](int step) {
        steps.push_back(step);
        Run(step < 0 ? ID_FUN_PAGE_BACK : ID_FUN_PAGE_NEXT);
    });
    QObject::connect(webcam(), &CWebcamCtl::funEffectPicked, webcam(), [&picks] { ++picks; });
    QObject::connect(webcam(), &CWebcamCtl::cameraToggleRequested, webcam(), [&toggles] { ++toggles; });
    auto send = [&](QEvent::Type type, QPoint at) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, webcam()->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(webcam(), &event);
    };
    auto click = [&](QPoint at) {
        send(QEvent::MouseButtonPress, at);
        send(QEvent::MouseButtonRelease, at);
    };

    click(pager.next.center());
    EXPECT_EQ(steps, std::vector<int> { 1 });
    EXPECT_EQ(webcam()->model().funPreview.page(), 1);
    click(pager.back.center());
    EXPECT_EQ(webcam()->model().funPreview.page(), 0);
    click(pager.page.center()); // the page number between them
    send(QEvent::MouseButtonPress, pager.next.center());
    send(QEvent::MouseButtonRelease, pager.backing.bottomLeft() + QPoint(0, 40)); // slid off first
    EXPECT_EQ(steps.size(), 2u);

    click(pager.next.center());
    send(QEvent::MouseButtonDblClick, pager.next.center());
    send(QEvent::MouseButtonRelease, pager.next.center());
    EXPECT_EQ(steps.size(), 4u);
    EXPECT_EQ(webcam()->model().funPreview.page(), 2 % FunPreviewPageCount());
    EXPECT_EQ(picks, 0);
    EXPECT_EQ(toggles, 0);
    EXPECT_TRUE(session().funPreviewShown());
    session().Stop();
}

} // namespace
