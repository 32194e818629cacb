#pragma once

#include "settings/SettingsWorkbook.h"

#include <QString>

#include <vector>

// One line for the status bar naming every settings cell whose value could not be used, what
// it held and what is used instead; empty when there is none.
QString SettingsNotice(const std::vector<SettingProblem>& problems);
