#pragma once

#include <QListWidget>

// A list that keeps its rows in alphabetical order without regard to case
// ("alpha" above "Zeta"); a new row takes its sorted place. One row at a time
// can be selected.
class SortedList : public QListWidget
{
    Q_OBJECT
public:
    explicit SortedList(QWidget *parent = nullptr);

    void addRow(const QString &text);
    // Removes a row; afterwards no row is selected.
    void removeRow(int row);
    QString selectedText() const;
    bool hasSelection() const { return currentRow() >= 0 && currentItem()->isSelected(); }
    QStringList rows() const;
    int rowOf(const QString &text) const;
};
