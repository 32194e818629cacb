#include "app/PhotoMenu.h"

#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"
#include "app/ribbon/CommandActions.h"
#include "app/ribbon/CommandIcons.h"

#include <QAction>
#include <QMenu>

QMenu* BuildPhotoMenu(CommandActions& actions, const QString& photo, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const CommandTable& table = actions.table();
    CommandInput input;
    input.path = photo;
    for (CommandId id : { ID_PHOTO_VIEW, ID_PHOTO_OPEN, ID_PHOTO_OPEN_FOLDER, ID_PHOTO_COPY, ID_PHOTO_DELETE }) {
        if (!table.Contains(id))
            continue;
        if (id == ID_PHOTO_DELETE)
            menu->addSeparator();
        QAction* action = menu->addAction(CommandIcon(id), table.Caption(id));
        action->setData(static_cast<int>(id));
        action->setEnabled(table.Update(id, actions.context(), input).enabled);
        QObject::connect(action, &QAction::triggered, menu, [&actions, id, input] { actions.Run(id, input); });
        if (id == ID_PHOTO_VIEW)
            menu->setDefaultAction(action); // what a double-click does, in bold
    }
    return menu;
}
