#include "QtTestApp.h"

#include "ui/OneBoxAtATime.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <functional>
#include <map>
#include <memory>

namespace {

// Boxes that record the order they open in and how many are open at once; while a box is "up",
// what its event loop would run meanwhile runs (`during`).
class OpeningBoxes final : public MessageBoxes {
public:
    MessageChoice Show(QWidget* parent, const QString& text, const QString&, MessageIcon, MessageButtons buttons) override
    {
        ++open;
        deepest = std::max(deepest, open);
        opened.push_back(text);
        parents.push_back(parent);
        if (const auto it = during.find(text); it != during.end())
            it->second();
        --open;
        return buttons == MessageButtons::Ok ? MessageChoice::Ok : answer;
    }
    int open = 0, deepest = 0;
    std::vector<QString> opened;
    std::vector<QWidget*> parents;
    std::map<QString, std::function<void()>> during;
    MessageChoice answer = MessageChoice::Cancel;
};

TEST(OneBoxAtATimeTest, BoxesArisingWhileOneIsOpenFollowItInTheirOrderNeverOnTopOfIt)
{
    EnsureQtApp();
    OpeningBoxes boxes;
    OneBoxAtATime queue(boxes);
    // The first start: the folder box is up when the probe's and the camera's boxes arise, and
    // one more arises while the probe's is up.
    boxes.during["folder"] = [&] {
        queue.Information(nullptr, "probe");
        queue.Exclamation(nullptr, "camera");
    };
    boxes.during["probe"] = [&] { queue.Information(nullptr, "later"); };
    queue.Information(nullptr, "folder");
    EXPECT_EQ(boxes.deepest, 1);
    EXPECT_EQ(boxes.opened, (std::vector<QString> { "folder", "probe", "camera", "later" }));
    EXPECT_EQ(queue.waiting(), 0u);
    EXPECT_EQ(queue.open(), 0);

    // A question needs its answer now: it opens over the box that is up, and is answered.
    boxes.opened.clear();
    boxes.during["up"] = [&] { EXPECT_EQ(queue.OkCancelQuestion(nullptr, "ask"), MessageChoice::Cancel); };
    queue.Information(nullptr, "up");
    EXPECT_EQ(boxes.opened, (std::vector<QString> { "up", "ask" }));

    // A box whose window went while it waited is still shown, without a parent.
    boxes.opened.clear();
    auto window = std::make_unique<QWidget>();
    boxes.during["first"] = [&] {
        queue.Information(window.get(), "orphan");
        window.reset();
    };
    queue.Information(nullptr, "first");
    EXPECT_EQ(boxes.opened, (std::vector<QString> { "first", "orphan" }));
    EXPECT_EQ(boxes.parents.back(), nullptr);
}

} // namespace
