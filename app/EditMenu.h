#pragma once

class CommandTable;
class QMenu;
class QWidget;

// The workspace view's right-button menu "编辑": the cut, copy and paste rows of the command
// table. An item is enabled only when its row has a handler; today none has, so all three are
// shown disabled, as a framework shows commands nobody handles. The caller owns the menu.
QMenu* BuildEditMenu(const CommandTable& table, QWidget* parent);
