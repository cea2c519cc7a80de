#pragma once

#include <QString>

// The snooze countdown text "00:mm:ss".
namespace SnoozeCountdown {

inline const QString start = QStringLiteral("00:05:00");
inline const QString end = QStringLiteral("00:00:00");

// The text one second later: "00:05:00" → "00:04:59"; stays at the end.
QString next(const QString &text);

} // namespace SnoozeCountdown
