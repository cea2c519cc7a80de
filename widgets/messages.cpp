#include "messages.h"

#include <QMessageBox>

namespace Messages {

namespace {
QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
                                QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setObjectName(QStringLiteral("messageBox"));
    return QMessageBox::StandardButton(box.exec());
}
} // namespace

void critical(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Critical, title, text, QMessageBox::Ok);
}

void information(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

bool askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    return ask(parent, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool askOkCancel(QWidget *parent, const QString &title, const QString &text)
{
    return ask(parent, QMessageBox::Warning, title, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

} // namespace Messages
