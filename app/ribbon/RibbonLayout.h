#pragma once

#include "app/commands/CommandId.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// What the ribbon shows, kept as data (resources/ribbon/ribbon.json): categories of panels of
// controls, each control naming the command it shows. Captions here are UTF-8 source texts of
// the panels and labels; the commands' own captions come from the command table.
struct ControlLayout {
    enum Kind {
        Large,     // icon over caption
        Small,     // icon beside caption
        Check,     // a check box
        Label,     // text only
        Separator, // a line between columns
        Slider,
        Colour,    // a split button with a palette
        Gallery,   // the pen widths
        Pictures,  // a drop-down of its items as captioned pictures (the fun effects)
        FilePictures, // a drop-down of pictures of files (the backdrops)
        Link,
        Menu,      // a drop-down of commands without a command of its own (the tab row's "样式")
        Icon,      // a button showing only its icon (the tab row's about button)
    };
    Kind kind = Large;
    std::optional<CommandId> id;
    QString text;   // labels and menus
    QString keyTip; // menus; commands take theirs from the table
    std::vector<CommandId> items; // drop-down items
    int perRow = 0;               // colour swatches per row; 0: the palette's own
    int minimum = 0, maximum = 200, start = 100, width = 100; // sliders
};

struct PanelLayout {
    enum Arrange { Columns, Justified, Centred };
    QString caption;
    QString keyTip; // opens the panel when the window is too narrow to show it
    Arrange arrange = Columns;
    std::vector<ControlLayout> controls;
};

struct CategoryLayout {
    QString caption;
    QString keyTip;
    std::vector<PanelLayout> panels;
};

struct RibbonLayout {
    ControlLayout application; // the application button and its menu
    std::vector<ControlLayout> tabRow;
    std::vector<CategoryLayout> categories;

    // Every command the layout places, drop-down items included, in layout order.
    std::vector<CommandId> PlacedIds() const;
};

// Reads a layout; nothing, with the reason in `error`, for a text that is not one.
std::optional<RibbonLayout> ParseRibbonLayout(const QByteArray& json, QString* error = nullptr);
// The layout the program ships with.
const RibbonLayout& ProgramRibbonLayout();
