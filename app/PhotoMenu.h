#pragma once

class CommandActions;
class QMenu;
class QString;
class QWidget;

// The photos strip's right-button menu: 查看 (in the program's viewer, as a double-click does),
// 打开方式, 打开所在文件夹, 复制 and 删除, rows of the command table acting on the file under the
// menu, each enabled by its update rule. The caller
// owns the menu; actions must outlive it.
QMenu* BuildPhotoMenu(CommandActions& actions, const QString& photo, QWidget* parent);
