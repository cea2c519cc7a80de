#include "sortedlist.h"

#include <QCollator>

namespace {
// The language's alphabetical order, ignoring case ("Éclair" before "Zeta");
// English order where the locale names no language.
const QCollator &collator()
{
    static const QCollator c = [] {
        QCollator made(QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale());
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return c;
}

class Row : public QListWidgetItem
{
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem &other) const override
    {
        const int c = collator().compare(text(), other.text());
        return c != 0 ? c < 0 : text() < other.text();
    }
};
} // namespace

SortedList::SortedList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(true);
}

void SortedList::addRow(const QString &text)
{
    addItem(new Row(text));
}

void SortedList::removeRow(int row)
{
    // Clear first: taking the selected row away would make the view select the
    // next one for a moment, and that selection reaches the list's handlers.
    setCurrentRow(-1, QItemSelectionModel::Clear);
    delete takeItem(row);
}

QString SortedList::selectedText() const
{
    return hasSelection() ? currentItem()->text() : QString();
}

QStringList SortedList::rows() const
{
    QStringList texts;
    for (int i = 0; i < count(); ++i)
        texts.append(item(i)->text());
    return texts;
}

int SortedList::rowOf(const QString &text) const
{
    return int(rows().indexOf(text));
}
