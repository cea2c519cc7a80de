#include "snoozecountdown.h"

namespace SnoozeCountdown {

QString next(const QString &text)
{
    const int minutes = text.mid(3, 2).toInt();
    const int seconds = text.mid(6, 2).toInt();
    const int left = qMax(0, minutes * 60 + seconds - 1);
    return QStringLiteral("00:%1:%2").arg(left / 60, 2, 10, QLatin1Char('0')).arg(left % 60, 2, 10, QLatin1Char('0'));
}

} // namespace SnoozeCountdown
