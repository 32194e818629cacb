#pragma once

class CommandTable;
class QMenu;
class QWidget;
struct CommandContext;

// The photos strip's right-button menu: 打开, 打开所在文件夹, 复制到剪贴板 and 删除, rows of the
// command table acting on the context's photo under the menu, each enabled by its update rule.
// The caller owns the menu; context must outlive it.
QMenu* BuildPhotoMenu(const CommandTable& table, CommandContext& context, QWidget* parent);
