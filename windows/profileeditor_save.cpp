// Saving: the checks, the file, the index and the list.
#include "profileeditor.h"

#include "profiles/modifysession.h"
#include "profiles/profilestore.h"
#include "widgets/digitbox.h"
#include "profiles/blanks.h"
#include "profiles/daylist.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"
#include "widgets/imagebutton.h"
#include "widgets/messages.h"

#include <QRegularExpression>

namespace {
QString twoDigits(const QString &text)
{
    return text.size() == 1 ? QLatin1Char('0') + text : text;
}

QString notSaved(const QString &name, const QString &reason)
{
    return QStringLiteral("The profile '%1' could not be saved.").arg(name) + Messages::lineBreak + reason;
}
} // namespace

bool ProfileEditor::refuse(const QString &title, const QString &text, QWidget *focus)
{
    Messages::critical(this, title, text);
    focus->setFocus();
    return false;
}

bool ProfileEditor::cmdSave_MouseUp()
{
    cmdSave->showNormalImage();
    if (trimBlanks(txtName->text()).isEmpty() || nameIsPlaceholder())
        txtName->setText(QStringLiteral("Default"));
    const QString name = txtName->text();
    const QString otherName = Messages::lineBreak + QStringLiteral("Please choose a different name.");
    if (!ProfileStore::isSafeName(name))
        return refuse(QStringLiteral("Error"),
                      QStringLiteral("The name '%1' cannot be used for a profile.").arg(name) + otherName, txtName);

    // An empty box is refused too: every stored time has two digits in each place.
    const QString invalidTime = QStringLiteral("Please enter a valid time.");
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,2}$"));
    if (!digits.match(txtTime->text()).hasMatch() || txtTime->text().toInt() > 12)
        return refuse(QStringLiteral("Invalid Time"), invalidTime, txtTime);
    if (!digits.match(txtTime2->text()).hasMatch() || txtTime2->text().toInt() > 59)
        return refuse(QStringLiteral("Invalid Time"), invalidTime, txtTime2);

    if (trimBlanks(txtAlarm->text()).isEmpty() && !m_modify.active()
        && !Messages::askOkCancel(this, Messages::appTitle,
                                  QStringLiteral("You have not entered a valid path to a music file.") + Messages::lineBreak
                                      + QStringLiteral("If you would like to receive a 'silent' alarm, press OK."))) {
        txtAlarm->setFocus();
        return false;
    }

    QList<bool> ticked;
    for (QCheckBox *day : chkDays)
        ticked.append(day->isChecked());
    if (DayList::format(chkAll->isChecked(), ticked) == DayList::everyday)
        chkAll->setChecked(true);

    if (m_store.exists(name))
        return refuse(QStringLiteral("Error"),
                      QStringLiteral("A profile with the name of '%1' already exists.").arg(name) + otherName, txtName);

    ProfileRecord profile;
    profile.name = name;
    profile.time = twoDigits(txtTime->text()) + QLatin1Char(':') + twoDigits(txtTime2->text()) + QStringLiteral(":00");
    profile.period = optTime[0]->isChecked() ? QStringLiteral("am") : QStringLiteral("pm");
    profile.sound = txtAlarm->text();
    profile.days = DayList::format(chkAll->isChecked(), ticked);
    profile.rising = chkVolume->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    profile.note = noteText();
    QString reason;
    if (!m_modify.save(profile, &reason))
        return refuse(QStringLiteral("Error"), notSaved(name, reason), txtName);
    emit saved(name);
    cmdCancel_MouseUp();
    return true;
}

bool ProfileEditor::putBack()
{
    QString reason;
    const QString name = m_modify.takenName();
    if (!m_modify.putBack(&reason))
        return refuse(QStringLiteral("Error"), notSaved(name, reason), txtName);
    emit saved(name);
    return true;
}
