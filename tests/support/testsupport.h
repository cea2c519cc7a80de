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
#include <QLabel>
#include <QTest>
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

    // Shows the main window and activates `names` in turn, as a user does:
    // a click on the profile's row, then on Activate.
    MainWindow *start(const QStringList &names = {})
    {
        main = std::make_unique<MainWindow>(store, index);
        main->load();
        main->show();
        for (const QString &name : names)
            activate(name);
        return main.get();
    }

    template<typename T = QWidget>
    T *part(const char *objectName) const
    {
        return main->findChild<T *>(QString::fromLatin1(objectName));
    }

    // Clicks the row of `name` in the profile list, then Activate.
    void activate(const QString &name)
    {
        auto *saved = part<SortedList>("lstSaved");
        const QRect row = saved->visualItemRect(saved->item(saved->rowOf(name)));
        QTest::mouseClick(saved->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseClick(part("cmdAlarm"), Qt::LeftButton);
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
        emit part<WallClockTimer>("Timer5")->timeout();
        return alarmWindow();
    }

    // The open alarm window, if any.
    static AlarmWindow *alarmWindow()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *alarm = qobject_cast<AlarmWindow *>(top); alarm && alarm->isVisible())
                return alarm;
        return nullptr;
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
