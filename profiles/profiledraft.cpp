#include "profiledraft.h"

#include "profiles/blanks.h"
#include "profiles/daylist.h"
#include "profiles/profilestore.h"

#include <QRegularExpression>

namespace {
const QString lineBreak = QStringLiteral("\n");

QString twoDigits(const QString &text)
{
    return text.size() == 1 ? QLatin1Char('0') + text : text;
}
} // namespace

bool ProfileDraft::load(const ProfileRecord &profile)
{
    all = false;
    days.fill(false);
    name = profile.name;
    namePlaceholder = false;
    // A hand-edited "7:05:00" is read as 07:05; what cannot be read is shown
    // as it stands, and saving refuses it.
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,2}):(\\d{1,2}):\\d{1,2}$"));
    const QRegularExpressionMatch time = clock.match(profile.time.trimmed());
    hour = time.hasMatch() ? time.captured(1).rightJustified(2, u'0') : profile.time.left(2);
    minute = time.hasMatch() ? time.captured(2).rightJustified(2, u'0') : profile.time.mid(3, 2);
    pm = profile.period != QLatin1String("am");
    sound = profile.sound;

    const auto listed = DayList::parse(profile.days);
    if (!listed)
        return false;
    if (profile.days == DayList::everyday) {
        all = true;
        days.fill(true);
    } else {
        for (int d : *listed)
            days[d] = true;
    }

    bool whole = false;
    const int level = profile.rising.trimmed().toInt(&whole);
    if (!whole)
        return false;
    rising = level == 1;
    note = profile.note;
    return true;
}

std::optional<ProfileDraft::Refusal> ProfileDraft::checkNameAndTime()
{
    if (trimBlanks(name).isEmpty() || namePlaceholder)
        name = QStringLiteral("Default");
    if (!ProfileStore::isSafeName(name))
        return Refusal{QStringLiteral("Error"),
                       QStringLiteral("The name '%1' cannot be used for a profile.").arg(name) + lineBreak
                           + QStringLiteral("Please choose a different name."),
                       Field::Name};

    // An empty box is refused too: every stored time has two digits in each place.
    const QString invalidTime = QStringLiteral("Please enter a valid time.");
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,2}$"));
    if (!digits.match(hour).hasMatch() || hour.toInt() > 12)
        return Refusal{QStringLiteral("Invalid Time"), invalidTime, Field::Hour};
    if (!digits.match(minute).hasMatch() || minute.toInt() > 59)
        return Refusal{QStringLiteral("Invalid Time"), invalidTime, Field::Minute};
    return std::nullopt;
}

bool ProfileDraft::asksAboutSilence(bool modifying) const
{
    return trimBlanks(sound).isEmpty() && !modifying;
}

QString ProfileDraft::silenceQuestion()
{
    return QStringLiteral("You have not entered a valid path to a music file.") + lineBreak
           + QStringLiteral("If you would like to receive a 'silent' alarm, press OK.");
}

std::optional<ProfileDraft::Refusal> ProfileDraft::checkDaysAndName(const std::function<bool(const QString &)> &exists)
{
    if (DayList::format(all, days) == DayList::everyday) {
        all = true;
        days.fill(true);
    }
    if (exists(name))
        return Refusal{QStringLiteral("Error"),
                       QStringLiteral("A profile with the name of '%1' already exists.").arg(name) + lineBreak
                           + QStringLiteral("Please choose a different name."),
                       Field::Name};
    return std::nullopt;
}

ProfileRecord ProfileDraft::record() const
{
    return {name,
            twoDigits(hour) + QLatin1Char(':') + twoDigits(minute) + QStringLiteral(":00"),
            pm ? QStringLiteral("pm") : QStringLiteral("am"),
            sound,
            DayList::format(all, days),
            rising ? QStringLiteral("1") : QStringLiteral("0"),
            note};
}

ProfileDraft::Refusal ProfileDraft::notSaved(const QString &name, const QString &reason)
{
    return {QStringLiteral("Error"), QStringLiteral("The profile '%1' could not be saved.").arg(name) + lineBreak + reason,
            Field::Name};
}
