#include "aboutwindow.h"

#include "widgets/controls.h"
#include "widgets/imagebutton.h"
#include "widgets/pictures.h"
#include "widgets/theme.h"

#include <QFrame>
#include <QLabel>

using namespace Controls;

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

    m_picture = place(new QLabel(this), QStringLiteral("Picture1"), QRect(8, 8, 230, 216));
    m_picture->setPixmap(Pictures::png(QStringLiteral(":/about.png")));

    const char *texts[] = {"Dawnbell", "Version: " DAWNBELL_VERSION, "Build: 16", "Release Date: 09.02.06"};
    for (int i = 0; i < 4; ++i) {
        m_infoLabels[i] = place(new QLabel(QString::fromLatin1(texts[i]), this), QStringLiteral("lblInfo_%1").arg(i),
                                QRect(244, i == 0 ? 12 : 24 + 26 * i, 88, i == 0 ? 24 : 26));
        m_infoLabels[i]->setFont(Theme::font(i == 0 ? 11 : 7, true));
        m_infoLabels[i]->setWordWrap(true);
    }

    auto *line = place(new QFrame(this), QStringLiteral("Line1"), QRect(244, 142, 84, 2));
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color: white"));

    m_closeButton = place(new ImageButton(QStringLiteral("Close"), this), QStringLiteral("cmdClose"), QRect(246, 190, 81, 25));
    connect(m_closeButton, &ImageButton::mouseUp, this, &AboutWindow::closeWindow);
    Theme::centre(this);
}

void AboutWindow::closeWindow()
{
    close();
}
