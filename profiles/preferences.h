#pragma once

#include <QSettings>
#include <QStringList>

// The choices that go beyond the profiles, both off until the user asks: keep
// the active alarms across a restart, and start with the desktop. They live in
// a file of their own beside the profile index, whose keys stay as they are;
// starting with the desktop is the desktop's own autostart entry.
class Preferences
{
public:
    explicit Preferences(const QString &file);

    bool keepsActiveAlarms() const;
    void setKeepsActiveAlarms(bool keep);
    // Names of the profiles active when the program last changed them.
    QStringList activeAlarms() const;
    void setActiveAlarms(const QStringList &names);

    // $XDG_CONFIG_HOME/autostart/dawnbell.desktop
    static QString autostartEntry();
    static bool startsWithDesktop();
    // Writes the entry to start `program` hidden, or removes it; false when that failed.
    static bool setStartsWithDesktop(bool start, const QString &program);

private:
    QSettings m_settings;
};
