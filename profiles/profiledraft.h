#pragma once

#include "profiles/profilerecord.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The editor's fields as plain values, and the checks Save runs over them.
// Saving goes in two steps because a question about a silent alarm may come
// between them: checkNameAndTime(), then, if asksAboutSilence() was answered
// OK, checkDaysAndName(), then record().
class ProfileDraft
{
public:
    enum class Field { Name, Hour, Minute, Sound };

    // A save refused: the message to show and the field to give the focus.
    struct Refusal
    {
        QString title, text;
        Field focus;
        friend bool operator==(const Refusal &, const Refusal &) = default;
    };

    static inline const QString placeholder = QStringLiteral("Name or Description");

    QString name = placeholder;
    bool namePlaceholder = true; // the grey hint stands in the name box
    QString hour = QStringLiteral("01"), minute = QStringLiteral("00");
    bool pm = false;
    QString sound;
    bool rising = false;
    bool all = false;
    QList<bool> days = QList<bool>(7, false); // Monday first
    QString note;                             // CR LF line breaks

    // Takes a profile's texts field by field; false when its days line or its
    // rising-volume line cannot be read (the fields before it are taken).
    bool load(const ProfileRecord &profile);

    // A blank name, or the placeholder, becomes "Default"; then the name and
    // the time are checked.
    std::optional<Refusal> checkNameAndTime();
    // Whether Save must ask before writing an alarm with no sound.
    bool asksAboutSilence(bool modifying) const;
    static QString silenceQuestion();
    // No day or all seven ticked tick "All"; then a name already stored is refused.
    std::optional<Refusal> checkDaysAndName(const std::function<bool(const QString &)> &exists);
    // The profile to write.
    ProfileRecord record() const;

    // A write, or the put-back of a profile taken out for modification, failed.
    static Refusal notSaved(const QString &name, const QString &reason);
};
