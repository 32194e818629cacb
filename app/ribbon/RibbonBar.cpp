#include "app/ribbon/RibbonBar.h"

#include "app/ribbon/CommandActions.h"
#include "app/ribbon/RibbonPanel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Room for three small controls and the panel's caption.
constexpr int kPanelsHeight = 96;
} // namespace

RibbonBar::RibbonBar(const RibbonLayout& layout, CommandActions& actions, QWidget* parent)
    : QWidget(parent)
    , actions_(actions)
{
    setObjectName(QStringLiteral("ribbon"));
    setAttribute(Qt::WA_StyledBackground);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(0, 0, 4, 0);
    tabRow->setSpacing(4);
    appButton_ = new QToolButton(this);
    appButton_->setObjectName(QStringLiteral("ribbonApplicationButton"));
    appButton_->setText(QCoreApplication::translate("Ribbon", layout.application.text.toUtf8().constData()));
    appButton_->setPopupMode(QToolButton::InstantPopup);
    appButton_->setFocusPolicy(Qt::NoFocus);
    auto* appMenu = new QMenu(appButton_);
    for (CommandId id : layout.application.items)
        appMenu->addAction(actions.Action(id));
    appButton_->setMenu(appMenu);
    ForgetHoverWhenMenuCloses(appButton_);
    tabRow->addWidget(appButton_);
    tabRow_.push_back({ {}, appButton_, layout.application.keyTip, {}, [this] { appButton_->showMenu(); } });

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("ribbonTabs"));
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->installEventFilter(this);
    tabRow->addWidget(tabs_);
    tabRow->addStretch(1);
    for (const ControlLayout& control : layout.tabRow) {
        ShownControl shown = MakeControl(control, actions, this);
        tabRow->addWidget(shown.widget);
        tabRow_.push_back(std::move(shown));
    }
    outer->addLayout(tabRow);

    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("ribbonPanels"));
    stack_->setFixedHeight(kPanelsHeight);
    for (const CategoryLayout& category : layout.categories) {
        // A tab takes "&" for a mnemonic: "Effects & Fun" must show its ampersand.
        QString caption = QCoreApplication::translate("Ribbon", category.caption.toUtf8().constData());
        tabs_->addTab(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
        Page page;
        page.keyTip = category.keyTip;
        page.widget = new QWidget(stack_);
        page.widget->setObjectName(QStringLiteral("ribbonCategory"));
        // The window may be narrower than all panels: they fold instead of holding it wide.
        page.widget->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        auto* row = new QHBoxLayout(page.widget);
        row->setSizeConstraint(QLayout::SetNoConstraint); // the panels' widths are no minimum
        row->setContentsMargins(2, 2, 2, 2);
        row->setSpacing(2);
        for (const PanelLayout& panelLayout : category.panels) {
            auto* panel = new RibbonPanel(panelLayout, actions, page.widget);
            row->addWidget(panel);
            page.panels.push_back(panel);
        }
        row->addStretch(1);
        stack_->addWidget(page.widget);
        pages_.push_back(std::move(page));
    }
    outer->addWidget(stack_);
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        stack_->setCurrentIndex(index);
        FitPanels();
    });
    connect(tabs_, &QTabBar::tabBarClicked, this, [this] {
        if (folded_)
            SetFolded(false);
    });
    Refresh();
}

void RibbonBar::Refresh()
{
    actions_.Refresh();
    auto refresh = [](const ShownControl& shown) {
        if (shown.refresh)
            shown.refresh();
    };
    for (const ShownControl& shown : tabRow_)
        refresh(shown);
    for (const Page& page : pages_)
        for (const RibbonPanel* panel : page.panels)
            for (const ShownControl& shown : panel->controls())
                refresh(shown);
}

int RibbonBar::currentCategory() const
{
    return tabs_->currentIndex();
}

void RibbonBar::SetCurrentCategory(int index)
{
    tabs_->setCurrentIndex(index);
}

void RibbonBar::SetFolded(bool folded)
{
    folded_ = folded;
    stack_->setVisible(!folded);
}

const ShownControl* RibbonBar::ControlFor(CommandId id) const
{
    for (const ShownControl& shown : tabRow_)
        if (shown.id == id)
            return &shown;
    for (const Page& page : pages_)
        for (const RibbonPanel* panel : page.panels)
            for (const ShownControl& shown : panel->controls())
                if (shown.id == id)
                    return &shown;
    return nullptr;
}

bool RibbonBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tabs_ && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (tabs_->tabAt(mouse->position().toPoint()) >= 0) {
            SetFolded(!folded_);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RibbonBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitPanels();
}

void RibbonBar::FitPanels()
{
    const int index = currentCategory();
    if (index < 0 || index >= int(pages_.size()))
        return;
    const std::vector<RibbonPanel*>& panels = pages_[std::size_t(index)].panels;
    const int available = width() - 8;
    int needed = 0;
    for (const RibbonPanel* panel : panels)
        needed += panel->unfoldedWidth() + 2;
    // The rightmost panels fold first, as each folded panel gives back what it took.
    std::size_t foldFrom = panels.size();
    while (needed > available && foldFrom > 0) {
        --foldFrom;
        needed -= panels[foldFrom]->unfoldedWidth() - panels[foldFrom]->foldedWidth();
    }
    for (std::size_t i = 0; i < panels.size(); ++i)
        panels[i]->SetFolded(i >= foldFrom);
}
