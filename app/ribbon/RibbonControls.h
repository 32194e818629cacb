#pragma once

#include "app/ribbon/RibbonLayout.h"

#include <QString>

#include <functional>
#include <optional>

class CommandActions;
class QToolButton;
class QWidget;

// A control the ribbon shows: its widget, how it follows its command's state, and what its key
// tip does.
struct ShownControl {
    std::optional<CommandId> id;
    QWidget* widget = nullptr;
    QString keyTip;
    std::function<void()> refresh;  // besides the command's action, which refreshes itself
    std::function<void()> activate; // what typing its key tip does
};

// Makes the widget of one control of the layout (not separators), parented to `parent`.
ShownControl MakeControl(const ControlLayout& layout, CommandActions& actions, QWidget* parent);

// A button whose menu closed elsewhere is drawn as the pointer left it, not hovered.
void ForgetHoverWhenMenuCloses(QToolButton* button);

// Large and small buttons' icon sizes.
inline constexpr int kLargeIcon = 32;
inline constexpr int kSmallIcon = 16;
