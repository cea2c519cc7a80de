#include "aboutwindow.h"
#include "widgets/imagebutton.h"
#include "widgets/pictures.h"
#include "widgets/theme.h"

#include <QFrame>

AboutWindow::AboutWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(Pictures::appIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(336, 232);
    setFont(Theme::font());
    Theme::paintBlue(this);
    Theme::whiteText(this);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(Pictures::png(QStringLiteral(":/about.png")));
    Picture1->setGeometry(8, 8, 230, 216);

    const char *texts[] = {"Dawnbell", "Version: " DAWNBELL_VERSION, "Build: 16", "Release Date: 09.02.06"};
    for (int i = 0; i < 4; ++i) {
        lblInfo[i] = new QLabel(QString::fromLatin1(texts[i]), this);
        lblInfo[i]->setObjectName(QStringLiteral("lblInfo_%1").arg(i));
        lblInfo[i]->setFont(Theme::font(i == 0 ? 11 : 7, true));
        lblInfo[i]->setWordWrap(true);
        lblInfo[i]->setGeometry(244, i == 0 ? 12 : 24 + 26 * i, 88, i == 0 ? 24 : 26);
    }

    auto *Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setStyleSheet(QStringLiteral("color: white"));
    Line1->setGeometry(244, 142, 84, 2);

    cmdClose = new ImageButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(246, 190, 81, 25);
    connect(cmdClose, &ImageButton::mouseUp, this, &AboutWindow::cmdClose_MouseUp);
    Theme::centre(this);
}

void AboutWindow::cmdClose_MouseUp()
{
    close();
}
