#include "profilerecord.h"

#include <QStringList>

namespace {
const QString crlf = QStringLiteral("\r\n");
}

QByteArray ProfileRecord::toFileBytes() const
{
    const QStringList lines{name, time, period, sound, days, rising, note};
    return (lines.join(crlf) + crlf).toLocal8Bit();
}

std::optional<ProfileRecord> ProfileRecord::fromFileBytes(const QByteArray &bytes, QString *error)
{
    QStringList lines = QString::fromLocal8Bit(bytes).split(QLatin1Char('\n'));
    // The last line's terminator leaves an empty piece behind it.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (lines.size() < 6) {
        if (error)
            *error = QStringLiteral("The profile file has %1 of its 6 lines.").arg(lines.size());
        return std::nullopt;
    }
    ProfileRecord r;
    r.name = lines[0];
    r.time = lines[1];
    r.period = lines[2];
    r.sound = lines[3];
    r.days = lines[4];
    r.rising = lines[5];
    r.note = lines.mid(6).join(crlf);
    return r;
}
