#include "app/EditMenu.h"

#include "app/commands/CommandTable.h"
#include "app/ribbon/CommandActions.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

QMenu* BuildEditMenu(CommandActions& actions, QWidget* parent)
{
    auto* menu = new QMenu(QCoreApplication::translate("EditMenu", "编辑"), parent);
    // The doodle's last stroke, taken back where the picture is.
    if (actions.table().Contains(ID_PAINT_UNDO)) {
        menu->addAction(actions.Action(ID_PAINT_UNDO));
        menu->addSeparator();
    }
    for (CommandId id : { ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE }) {
        if (!actions.table().Contains(id))
            continue;
        // The text after the tab is shown as the key beside the item.
        QAction* action = actions.Action(id);
        action->setData(static_cast<int>(id));
        menu->addAction(action);
    }
    // What lies on the picture, taken off one at a time.
    menu->addSeparator();
    for (CommandId id : { ID_REMOVE_ADD_ON, ID_REMOVE_FRAME })
        menu->addAction(actions.Action(id));
    actions.Refresh();
    return menu;
}
