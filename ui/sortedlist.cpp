#include "sortedlist.h"

namespace {
class Row : public QListWidgetItem
{
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem &other) const override
    {
        const int c = text().compare(other.text(), Qt::CaseInsensitive);
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
