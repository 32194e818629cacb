#include "app/EditMenu.h"

#include "app/commands/CommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

QMenu* BuildEditMenu(const CommandTable& table, QWidget* parent)
{
    auto* menu = new QMenu(QCoreApplication::translate("EditMenu", "编辑"), parent);
    for (CommandId id : { ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE }) {
        const CommandRow* row = table.Find(id);
        if (row == nullptr)
            continue;
        // The text after the tab is shown as the key beside the item.
        QAction* action = menu->addAction(table.Caption(id));
        action->setData(static_cast<int>(id));
        action->setEnabled(static_cast<bool>(row->run));
    }
    return menu;
}
