#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// One alarm profile as the texts of its file, line by line.
struct ProfileRecord
{
    QString name;     // line 1
    QString time;     // line 2, "hh:mm:00"
    QString period;   // line 3, "am" or "pm"
    QString sound;    // line 4, full path or empty
    QString days;     // line 5, "Everyday" or "Monday, Friday, "
    QString rising;   // line 6, "1" for a rising volume
    QString note;     // line 7 to the end, lines joined with CR LF

    bool risingVolume() const { return rising == QLatin1String("1"); }
    // "07:05:00 pm": the time and period as the main window shows them.
    QString timeText() const { return time + QLatin1Char(' ') + period; }

    // The file's bytes: every line ends with CR LF, local 8-bit text.
    QByteArray toFileBytes() const;
    // Reads a file's bytes; accepts LF-only line ends. A file of fewer than six
    // lines is refused with a reason in `error`.
    static std::optional<ProfileRecord> fromFileBytes(const QByteArray &bytes, QString *error = nullptr);

    friend bool operator==(const ProfileRecord &, const ProfileRecord &) = default;
};
