#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

// The texts the clock, the date line and the alarm check are made of.
namespace TimeText {

// The 12-hour clock face: "00".."12" hours (the hour after midnight is "00"),
// minutes, seconds, "am"/"pm".
struct Face
{
    QString hours, minutes, seconds, period;
};
Face face(const QTime &time);

// "14:05:09": the 24-hour current time text.
QString current(const QTime &time);
// "02:05:09 pm": the form of a profile's time text.
QString check(const QTime &time);
// "Sunday, March 1, 2026", with English names whatever the locale.
QString date(const QDate &date);

// The moment of the day a profile's time text ("07:30:00 am") stands for.
// "12:mm" am is just after midnight and "00:mm" pm just after noon, so each
// hour means one moment. Nothing for a malformed text.
std::optional<QTime> profileMoment(const QString &timeText);

} // namespace TimeText
