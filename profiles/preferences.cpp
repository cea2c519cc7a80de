#include "preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QString keepKey = QStringLiteral("Alarms/KeepActive");
const QString activeKey = QStringLiteral("Alarms/Active");
} // namespace

Preferences::Preferences(const QString &file) : m_settings(file, QSettings::IniFormat) {}

bool Preferences::keepsActiveAlarms() const
{
    return m_settings.value(keepKey, false).toBool();
}

void Preferences::setKeepsActiveAlarms(bool keep)
{
    m_settings.setValue(keepKey, keep);
    if (!keep)
        m_settings.remove(activeKey);
    m_settings.sync();
}

QStringList Preferences::activeAlarms() const
{
    return m_settings.value(activeKey).toStringList();
}

void Preferences::setActiveAlarms(const QStringList &names)
{
    if (names == activeAlarms())
        return;
    m_settings.setValue(activeKey, names);
    m_settings.sync();
}

QString Preferences::autostartEntry()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/autostart/dawnbell.desktop");
}

bool Preferences::startsWithDesktop()
{
    return QFileInfo::exists(autostartEntry());
}

bool Preferences::setStartsWithDesktop(bool start, const QString &program)
{
    const QString entry = autostartEntry();
    if (!start)
        return !QFileInfo::exists(entry) || QFile::remove(entry);
    QDir().mkpath(QFileInfo(entry).absolutePath());
    QSaveFile file(entry);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString quotedProgram = program;
    quotedProgram.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    file.write(QStringLiteral("[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Dawnbell\n"
                              "Comment=Alarm clock with named alarm profiles\n"
                              "Exec=\"%1\" --hidden\n"
                              "Icon=dawnbell\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n")
                   .arg(quotedProgram)
                   .toUtf8());
    return file.commit();
}
