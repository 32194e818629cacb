#pragma once

#include <QString>

#include <ctime>

// The status bar clock: local year, month, day, hour, minute and second as
// "%d-%d-%d %d: %d: %d", numbers without leading zeros ("2011-5-3 21: 5: 9"). A time that cannot
// be converted reads 0 for the date and -1 for the time parts.
QString ClockText(std::time_t when);
