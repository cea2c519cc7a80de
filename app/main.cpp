#include "app/exitsignals.h"
#include "app/frmmain.h"
#include "app/paths.h"
#include "app/singleinstance.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"
#include "ui/messages.h"
#include "ui/theme.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char *argv[])
{
    // Qt's FFmpeg backend crashes without an audio device and ignores loops.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("dawnbell"));
    QApplication::setApplicationName(QStringLiteral("dawnbell"));
    QApplication::setDesktopFileName(QStringLiteral("dawnbell"));
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (!instance.acquire()) {
        Messages::information(nullptr, Messages::appTitle,
                              QStringLiteral("An instance of Dawnbell is already running.") + Messages::lineBreak
                                  + Messages::lineBreak
                                  + QStringLiteral("If you do not see any open windows, check your system tray for "
                                                   "the Dawnbell icon."));
        return 0;
    }

    QSettings settings;
    ProfileIndex index(settings);
    ProfileStore store(Paths::profilesFolder());
    FrmMain frmMain(store, index);
    ExitSignals exitSignals;
    QObject::connect(&exitSignals, &ExitSignals::exitRequested, &frmMain, &FrmMain::cmdExit_MouseUp);
    frmMain.Form_Load();
    Theme::centre(&frmMain);
    frmMain.show();
    return app.exec();
}
