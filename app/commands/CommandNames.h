#pragma once

#include "app/commands/CommandId.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Every command id with its name in the source, so that descriptions kept as data (the ribbon's
// layout) can name commands as the code does.
struct CommandName {
    std::string_view name;
    CommandId id;
};

std::span<const CommandName> AllCommandNames();
// Every value of CommandId once, in the order of its declaration.
std::vector<CommandId> AllCommandIds();
std::optional<CommandId> CommandIdFromName(std::string_view name);
std::string_view NameOfCommand(CommandId id); // empty for a value without a name
