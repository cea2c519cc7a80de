#pragma once

#include <QString>

class QWidget;

// The program's message boxes. Boxes without a title of their own carry the
// program's name.
namespace Messages {

inline const QString appTitle = QStringLiteral("Dawnbell");
inline const QString lineBreak = QStringLiteral("\n");

void critical(QWidget *parent, const QString &title, const QString &text);
void information(QWidget *parent, const QString &title, const QString &text);
// Yes/No with an exclamation icon; true for Yes.
bool askYesNo(QWidget *parent, const QString &title, const QString &text);
// OK/Cancel with an exclamation icon; true for OK.
bool askOkCancel(QWidget *parent, const QString &title, const QString &text);

} // namespace Messages
