#pragma once

// Shared by the widget tests: a main window over a temporary profile folder and
// settings file, a clock the test moves, and a way to answer message boxes.

#include "windows/alarmwindow.h"
#include "windows/mainwindow.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"
#include "fakeclock.h"
#include "scheduler/wallclocktimer.h"
#include "widgets/sortedlist.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

struct MainFixture
{
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("dawnbell.conf")), QSettings::IniFormat};
    ProfileIndex index{settings};
    ProfileStore store{dir.filePath(QStringLiteral("Profiles"))};
    FakeClock clock{QDateTime(QDate(2026, 12, 9), QTime(7, 29, 59), QTimeZone::utc())};
    std::unique_ptr<MainWindow> main;

    MainFixture() { setAppClock(&clock); }
    ~MainFixture()
    {
        main.reset();
        setAppClock(nullptr);
    }

    // Writes a profile file and appends its name to the index.
    void addProfile(const QString &name, const QString &time = QStringLiteral("07:30:00"), const QString &period = QStringLiteral("am"),
                    const QString &days = QStringLiteral("Everyday"), const QString &note = {}, const QString &rising = QStringLiteral("0"), const QString &sound = {})
    {
        store.write({name, time, period, sound, days, rising, note});
        index.append(name);
    }

    // Shows the main window and activates `names` in turn.
    MainWindow *start(const QStringList &names = {})
    {
        main = std::make_unique<MainWindow>(store, index);
        main->Form_Load();
        main->show();
        for (const QString &name : names) {
            main->lstSaved->setCurrentRow(main->lstSaved->rowOf(name));
            main->activate();
        }
        return main.get();
    }

    // Runs the check one second later: at 07:30:00 the first time.
    AlarmWindow *tick()
    {
        clock.advance(1000);
        return wake();
    }

    // The check's timer goes off (its moment came, or the clock was set).
    AlarmWindow *wake()
    {
        emit main->Timer5->timeout();
        return main->frmAlarm;
    }
};

// Answers every message box as it opens, with `answer` where the box has that
// button and OK otherwise, and keeps each as "title|text|icon".
struct Boxes
{
    QStringList seen;
    QTimer timer;

    explicit Boxes(QMessageBox::StandardButton answer = QMessageBox::Ok)
    {
        timer.callOnTimeout([this, answer] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen << box->windowTitle() + u'|' + box->text() + u'|' + QString::number(box->icon());
                QAbstractButton *button = box->button(answer);
                (button ? button : box->button(QMessageBox::Ok))->click();
            }
        });
        timer.start(10);
    }
};
