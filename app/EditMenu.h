#pragma once

class CommandActions;
class QMenu;
class QWidget;

// The workspace view's right-button menu "编辑": the cut, copy and paste rows of the command
// table, shown through their actions, enabled by their update rules (today nothing handles them,
// so all three are shown disabled, as a framework shows commands nobody handles). The caller
// owns the menu.
QMenu* BuildEditMenu(CommandActions& actions, QWidget* parent);
