#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/SidePanePort.h"

namespace {

// Switches what a strip lists; the strip is scanned again only when the kind changes.
// The side pane knows what each strip lists; the rows ask it.
void AddKindRow(CommandTable& table, CommandId id, DecorationKind kind,
    DecorationKind (SidePanePort::*listed)() const, void (SidePanePort::*reload)(DecorationKind))
{
    table.Add({ id, kind == DecorationKind::Gif ? "动态 GIF" : "透明 PNG", "", "", "",
        [kind, listed, reload](CommandContext& c, const CommandInput&) {
            if ((c.sidePane().*listed)() != kind)
                (c.sidePane().*reload)(kind);
        },
        [kind, listed](const CommandContext& c) { return Pressed((c.sidePane().*listed)() == kind); } });
}

} // namespace

void AddStripKindRows(CommandTable& table)
{
    table.Add({ ID_BUTTON_FRAME_TYPE, "相框类型切换", "T", "相框文件类型选择",
        "支持GIF或者PNG格式，选择后在相框显示区显示相应相框", {}, {} });
    AddKindRow(table, ID_BUTTON_FRAME_GIF, DecorationKind::Gif, &SidePanePort::frameKind,
        &SidePanePort::ListFrames);
    AddKindRow(table, ID_BUTTON_FRAME_PNG, DecorationKind::Png, &SidePanePort::frameKind,
        &SidePanePort::ListFrames);

    table.Add({ ID_BUTTON_ADD_ON_TYPE, "挂件类型切换", "L", "挂件文件类型选择",
        "支持GIF或者PNG格式，选择后在挂件显示区显示相应挂件", {}, {} });
    AddKindRow(table, ID_BUTTON_ADD_ON_GIF, DecorationKind::Gif, &SidePanePort::addOnKind,
        &SidePanePort::ListAddOns);
    AddKindRow(table, ID_BUTTON_ADD_ON_PNG, DecorationKind::Png, &SidePanePort::addOnKind,
        &SidePanePort::ListAddOns);
}
