#pragma once

#include <QString>
#include <optional>

// The personal note's limit: 200 characters as the file holds them, a line
// break counting two (CR LF).
class NoteLimit
{
public:
    static constexpr int limit = 200;

    // What the box must show instead of an edit that overfilled it.
    struct Cut
    {
        QString text; // line breaks as LF, as the box takes them
        int cursor;   // just after what was kept of the insertion
    };

    // An edit that made `note` (CR LF breaks) longer than the limit and longer
    // than before keeps only what fits of its insertion, as a length-limited
    // box does; nullopt when the edit stands. A note read from a file may be
    // longer than typing allows, and stays.
    std::optional<Cut> cut(const QString &note) const;
    // The note as the box now holds it, after any cut.
    void settle(const QString &note) { m_note = note; }
    // "198/200": the characters left.
    QString counter() const;

private:
    QString m_note;
};
