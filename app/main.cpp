#include "app/exitsignals.h"
#include "windows/mainwindow.h"
#include "profiles/paths.h"
#include "app/raiserequests.h"
#include "app/singleinstance.h"
#include "profiles/profileindex.h"
#include "profiles/profilestore.h"
#include "widgets/messages.h"
#include "widgets/appstyle.h"
#include "widgets/pictures.h"
#include "widgets/theme.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include <cstdio>

namespace {

// Reads the command line before any window exists, so that --help and --version
// work without a display. Returns the exit status when the program should end.
int commandLine(int argc, char *argv[], bool &hidden)
{
    if (argc <= 1)
        return -1; // the usual start pays nothing for this
    QCoreApplication early(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dawnbell"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DAWNBELL_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Alarm clock with named alarm profiles."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption hiddenOption(QStringLiteral("hidden"),
                                          QStringLiteral("Start in the tray (minimised where there is no tray), as when "
                                                         "started with the desktop."));
    parser.addOption(hiddenOption);
    // Qt's own options (-platform xcb, -style fusion, ...) stay usable; QApplication takes them.
    for (const char *name : {"platform", "display", "style", "stylesheet", "geometry", "qwindowgeometry", "session"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    if (!parser.parse(QCoreApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        const QString error = parser.errorText().isEmpty()
                                  ? QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst())
                                  : parser.errorText();
        std::fprintf(stderr, "dawnbell: %s\nTry 'dawnbell --help' for more information.\n", qPrintable(error));
        return 2;
    }
    // Prints and exits for --help, --help-all and --version.
    parser.process(early);
    hidden = parser.isSet(hiddenOption);
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    bool hidden = false;
    if (const int status = commandLine(argc, argv, hidden); status >= 0)
        return status;

    // Qt's FFmpeg backend crashes without an audio device and ignores loops.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");

    QApplication app(argc, argv);
    QApplication::setStyle(new AppStyle(QApplication::style())); // wraps the style Qt chose, not a second one
    QApplication::setOrganizationName(QStringLiteral("dawnbell"));
    QApplication::setApplicationName(QStringLiteral("dawnbell"));
    QApplication::setDesktopFileName(QStringLiteral("dawnbell"));
    QApplication::setQuitOnLastWindowClosed(false);

    // Two copies must never share the settings or the profiles.
    const QString settingsLockPath = SingleInstance::lockPath(QSettings().fileName());
    SingleInstance settingsLock(settingsLockPath);
    SingleInstance profilesLock(SingleInstance::lockPath(Paths::profilesFolder()));
    const QString raisePath = RaiseRequests::socketPath(settingsLockPath);
    if (!settingsLock.acquire() || !profilesLock.acquire()) {
        // The running copy's window comes forward, from the tray or minimised;
        // the message still tells where it is.
        RaiseRequests::send(raisePath, qEnvironmentVariable("XDG_ACTIVATION_TOKEN"));
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
    MainWindow mainWindow(store, index);
    RaiseRequests raiseRequests;
    raiseRequests.listen(raisePath);
    QObject::connect(&raiseRequests, &RaiseRequests::raiseRequested, &mainWindow, &MainWindow::raiseFromElsewhere);
    ExitSignals exitSignals;
    QObject::connect(&exitSignals, &ExitSignals::exitRequested, &mainWindow, &MainWindow::quit);
    mainWindow.load();
    Theme::centre(&mainWindow);
    if (hidden)
        mainWindow.hideToTray();
    else
        mainWindow.show();
    return app.exec();
}
