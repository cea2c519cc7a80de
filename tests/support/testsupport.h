#pragma once

// Shared by the widget tests: a main window over a temporary profile folder and
// settings file, a clock the test moves, and a way to answer message boxes.

#include "app/frmmain.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"
#include "scheduler/clock.h"

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
    std::unique_ptr<FrmMain> main;

    MainFixture() { setAppClock(&clock); }
    ~MainFixture()
    {
        main.reset();
        setAppClock(nullptr);
    }

    // Writes a profile file and appends its name to the index.
    void addProfile(const QString &name, const QString &time = QStringLiteral("07:30:00"),
                    const QString &period = QStringLiteral("am"), const QString &days = QStringLiteral("Everyday"),
                    const QString &note = QString(), const QString &rising = QStringLiteral("0"),
                    const QString &sound = QString())
    {
        store.write({name, time, period, sound, days, rising, note});
        index.append(name);
    }

    FrmMain *start()
    {
        main = std::make_unique<FrmMain>(store, index);
        main->Form_Load();
        main->show();
        return main.get();
    }
};

// Answers the next modal message box by clicking `button`, and records its
// title and text. Call before the action that opens the box.
struct BoxAnswer
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;

    void answerNext(QMessageBox::StandardButton button)
    {
        QTimer::singleShot(0, [this, button] { answer(button, 100); });
    }

private:
    void answer(QMessageBox::StandardButton button, int triesLeft)
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (triesLeft > 0)
                QTimer::singleShot(20, [this, button, triesLeft] { answer(button, triesLeft - 1); });
            return;
        }
        seen = true;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(button)->click();
    }
};
