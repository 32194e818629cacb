#include "app/StatusClock.h"

QString ClockText(std::time_t when)
{
    std::tm local {};
#ifdef _WIN32
    const bool ok = localtime_s(&local, &when) == 0;
#else
    const bool ok = localtime_r(&when, &local) != nullptr;
#endif
    if (!ok)
        return QStringLiteral("0-0-0 -1: -1: -1");
    return QStringLiteral("%1-%2-%3 %4: %5: %6")
        .arg(local.tm_year + 1900)
        .arg(local.tm_mon + 1)
        .arg(local.tm_mday)
        .arg(local.tm_hour)
        .arg(local.tm_min)
        .arg(local.tm_sec);
}
