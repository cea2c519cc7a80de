#include "notelimit.h"

std::optional<NoteLimit::Cut> NoteLimit::cut(const QString &note) const
{
    if (note.size() <= limit || note.size() <= m_note.size())
        return std::nullopt;
    const QString crlf = QStringLiteral("\r\n"), lf = QStringLiteral("\n");
    const QString before = QString(m_note).replace(crlf, lf), now = QString(note).replace(crlf, lf);
    // The insertion is what lies between the common head and the common tail.
    qsizetype head = 0, tail = 0;
    while (head < before.size() && head < now.size() && before[head] == now[head])
        ++head;
    while (tail < before.size() - head && tail < now.size() - head
           && before[before.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    qsizetype room = limit - (head + tail + before.left(head).count(u'\n') + before.right(tail).count(u'\n'));
    QString fits;
    for (QChar c : now.mid(head, now.size() - head - tail)) {
        room -= c == u'\n' ? 2 : 1;
        if (room < 0)
            break;
        fits += c;
    }
    return Cut{before.left(head) + fits + before.right(tail), int(head + fits.size())};
}

QString NoteLimit::counter() const
{
    return QStringLiteral("%1/%2").arg(limit - m_note.size()).arg(limit);
}
