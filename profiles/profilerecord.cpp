#include "profilerecord.h"

#include <QStringDecoder>
#include <QStringList>

namespace {
const QString crlf = QStringLiteral("\r\n");

// The system's 8-bit text; files in another 8-bit code page (as written on
// other systems) are read as Latin-1 rather than losing their accents.
QString decode(const QByteArray &bytes)
{
    QStringDecoder local(QStringDecoder::System);
    QString text = local(bytes);
    if (local.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}
} // namespace

QByteArray ProfileRecord::toFileBytes() const
{
    const QStringList lines{name, time, period, sound, days, rising, note};
    return (lines.join(crlf) + crlf).toLocal8Bit();
}

std::optional<ProfileRecord> ProfileRecord::fromFileBytes(const QByteArray &bytes, QString *error)
{
    QStringList lines = decode(bytes).split(QLatin1Char('\n'));
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
