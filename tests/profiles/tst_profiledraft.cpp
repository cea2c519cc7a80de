// The editor's draft: reading a profile into it, the checks of Save in their
// order, and the note's limit.
#include "profiles/notelimit.h"
#include "profiles/profiledraft.h"
#include "profiles/profilestore.h"

#include <QTemporaryDir>
#include <QtTest>

class TstProfileDraft : public QObject
{
    Q_OBJECT

private slots:
    void load_data()
    {
        QTest::addColumn<ProfileRecord>("profile");
        QTest::addColumn<QString>("shown"); // whole?|name|hour:minute am/pm|sound|days (A: All)|rising|note
        QTest::newRow("whole") << ProfileRecord{"Walk", "09:45:00", "pm", "/s/w.mp3", "Monday, Sunday, ", "1", "n1\r\nn2"}
                               << "1|Walk|09:45 pm|/s/w.mp3|1000001|1|n1\r\nn2";
        QTest::newRow("one-digit time, AM in capitals, Everyday") << ProfileRecord{"W", "7:5:00", "AM", "", "Everyday", " 0 ", ""}
                                                                 << "1|W|07:05 pm||A1111111|0|";
        QTest::newRow("time unreadable, rising 2") << ProfileRecord{"W", "+7:00:00", "am", "", "Friday, ", "2", ""} << "1|W|+7:00 am||0000100|0|";
        QTest::newRow("days damaged") << ProfileRecord{"W", "08:00:00", "am", "/s", "x", "1", "n"} << "0|W|08:00 am|/s|0000000|0|";
        QTest::newRow("rising damaged") << ProfileRecord{"W", "08:00:00", "am", "/s", "Monday, ", "x", "n"} << "0|W|08:00 am|/s|1000000|0|";
    }
    void load()
    {
        QFETCH(ProfileRecord, profile);
        ProfileDraft draft;
        const bool whole = draft.load(profile);
        QString days = draft.all ? "A" : "";
        for (bool ticked : draft.days)
            days += ticked ? '1' : '0';
        QTEST(QStringList({whole ? "1" : "0", draft.name + (draft.namePlaceholder ? "(grey)" : ""),
                              draft.hour + ':' + draft.minute + (draft.pm ? " pm" : " am"), draft.sound, days,
                              draft.rising ? "1" : "0", draft.note}).join('|'),
              "shown");
    }

    // Save, step by step, over a store holding "Morning" and "Default".
    void save_data()
    {
        QTest::addColumn<QString>("fields"); // name|hour|minute|sound|days ticked (A: All); name "?" the placeholder
        QTest::addColumn<bool>("modifying");
        QTest::addColumn<bool>("silenceOk");
        QTest::addColumn<QString>("outcome");
        const QString time = "Invalid Time|Please enter a valid time.", asked = "asked ",
                      exists = "Error|A profile with the name of '%1' already exists.\nPlease choose a different name.|name",
                      unsafe = "Error|The name '%1' cannot be used for a profile.\nPlease choose a different name.|name";
        QTest::newRow("hour 0") << "Run|0|00|/a|" << false << true << "All Run|00:00:00|am|/a|Everyday|0|";
        QTest::newRow("hour 1, minute 59") << "Run|1|59|/a|" << false << true << "All Run|01:59:00|am|/a|Everyday|0|";
        QTest::newRow("hour 12") << "Run|12|00|/a|" << false << true << "All Run|12:00:00|am|/a|Everyday|0|";
        QTest::newRow("hour 13") << "Run|13|00|/a|" << false << true << time + "|hour";
        QTest::newRow("hour not digits") << "Run|+7|00|/a|" << false << true << time + "|hour";
        QTest::newRow("hour empty") << "Run||00|/a|" << false << true << time + "|hour";
        QTest::newRow("minute 60") << "Run|12|60|/a|" << false << true << time + "|minute";
        QTest::newRow("minute of three digits") << "Run|12|005|/a|" << false << true << time + "|minute";
        QTest::newRow("blank name is Default, which exists") << "   |1|00|/a|" << false << true << "All " + exists.arg("Default");
        QTest::newRow("placeholder is Default") << "?|1|00|/a|" << false << true << "All " + exists.arg("Default");
        QTest::newRow("blanks kept") << "  Run  |1|00|/a|24" << false << true << "  Run  |01:00:00|am|/a|Wednesday, Friday, |0|";
        for (const char *bad : {"a/b", "c:d", "..", "tab\tin"})
            QTest::newRow(bad) << QString(bad) + "|13|00||" << false << true << unsafe.arg(bad);
        QTest::newRow("same name in other case") << "mORNING|1|00|/a|" << false << true << "All " + exists.arg("mORNING");
        QTest::newRow("silent, Cancel, before the name") << "Morning|1|00| |" << false << false << asked + "|sound";
        QTest::newRow("silent, OK") << "Run|1|00| |0123456" << false << true << asked + "All Run|01:00:00|am| |Everyday|0|";
        QTest::newRow("silent under Modify, no question") << "Run|1|00||A" << true << false << "All Run|01:00:00|am||Everyday|0|";
    }
    void save()
    {
        QFETCH(QString, fields);
        QFETCH(bool, modifying);
        QFETCH(bool, silenceOk);
        QTemporaryDir dir;
        ProfileStore store(dir.path());
        for (const char *name : {"Morning", "Default"})
            QVERIFY(store.write({name, "07:00:00", "am", "", "Everyday", "0", ""}));
        const QStringList in = fields.split('|');
        ProfileDraft draft;
        if (in[0] != "?")
            std::tie(draft.name, draft.namePlaceholder) = std::tuple(in[0], false);
        std::tie(draft.hour, draft.minute, draft.sound, draft.all) = std::tuple(in[1], in[2], in[3], in[4] == "A");
        for (QChar day : in[4])
            if (day.isDigit())
                draft.days[day.digitValue()] = true;
        const char *fieldNames[] = {"name", "hour", "minute", "sound"};
        const auto refused = [&](const ProfileDraft::Refusal &r) { return r.title + '|' + r.text + '|' + fieldNames[int(r.focus)]; };
        QString outcome;
        if (const auto refusal = draft.checkNameAndTime()) {
            outcome = refused(*refusal);
        } else if (draft.asksAboutSilence(modifying) && !silenceOk) {
            outcome = "asked |sound";
        } else {
            outcome = draft.asksAboutSilence(modifying) ? "asked " : "";
            const auto refusal = draft.checkDaysAndName([&](const QString &name) { return store.exists(name); });
            outcome += draft.all ? "All " : "";
            const ProfileRecord r = draft.record();
            outcome += refusal ? refused(*refusal) : QStringList({r.name, r.time, r.period, r.sound, r.days, r.rising, r.note}).join('|');
        }
        QTEST(outcome, "outcome");
    }

    // The note as an edit leaves it (CR LF breaks before, LF in the box), the
    // cursor and the characters left; "=" when the edit stands.
    void noteLimit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("shown");
        const QString x195(195, 'x'), x197(197, 'x'), x199(199, 'x'), x200(200, 'x'), x230(230, 'x');
        QTest::newRow("typed within") << "" << "abc" << "= 197/200";
        QTest::newRow("the 200th") << x199 << x200 << "= 0/200";
        QTest::newRow("the 201st undone") << x200 << x200 + "y" << x200 + " 200 0/200";
        QTest::newRow("a line break counts two") << "y" + x197 + "\r\n" << "yz" + x197 + "\r\n" << "y" + x197 + "\n 1 0/200";
        QTest::newRow("paste keeps what fits") << x195 << "ab\r\ncdef" + x195 << "ab\nc" + x195 + " 4 0/200";
        QTest::newRow("a break that does not fit") << x199 << x199 + "\r\n" << x199 + " 199 1/200";
        QTest::newRow("selection replaced") << "abc" + x197 << "aXYc" + x197 << "aXc" + x197 + " 2 0/200";
        QTest::newRow("a long file note stays") << x230 << x230.left(229) << "= -29/200";
        QTest::newRow("a long file note grows not") << x230 << x230 + "y" << x230 + " 230 -30/200";
    }
    void noteLimit()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        NoteLimit limit;
        limit.settle(before);
        const auto cut = limit.cut(after);
        limit.settle(cut ? QString(cut->text).replace("\n", "\r\n") : after);
        QTEST((cut ? cut->text + ' ' + QString::number(cut->cursor) : "=") + ' ' + limit.counter(), "shown");
    }
};

QTEST_MAIN(TstProfileDraft)
#include "tst_profiledraft.moc"
