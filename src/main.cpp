#include "app/CommandLine.h"
#include "app/HandOver.h"
#include "app/Tessary.h"
#include "core/support/FileNames.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QIcon>

#include <csignal>

namespace {
void describeApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tessary"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessary"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARY_VERSION));
}
} // namespace

int main(int argc, char *argv[])
{
    // A reader that has gone from a pipe is a failed write to report, not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << FileNames::decode(argv[i]); // a file's name keeps its every byte
    const CommandLine commandLine = CommandLine::parse(arguments);

    const CommandLine::Mode mode = commandLine.mode();
    const bool runs = commandLine.livesInTray();
    const bool needsScreen = runs || mode == CommandLine::ModeZip || mode == CommandLine::ModeCustomZip;
    if (!needsScreen) {
        // These modes show no window and need no screen.
        QCoreApplication app(argc, argv);
        describeApplication();
        return commandLine.run();
    }

    // One running copy per user: a start while one runs hands its request over, before it takes
    // a screen of its own.
    SingleInstance instance;
    if (const std::optional<int> status = HandOver::handOverToRunningCopy(commandLine, instance))
        return *status;

    // The drop pad must be placed by Tessary and take drags from every kind of program: on a
    // Wayland session it runs through XWayland, unless the user chose a platform himself.
    // Without an X11 display, Tessary starts on what there is to say so (the system check).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "xcb");
        else
            qputenv(
                "QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "offscreen" : "wayland;offscreen");
    }
    QApplication app(argc, argv);
    describeApplication();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/TessaryLogo.svg")));
    QApplication::setQuitOnLastWindowClosed(false);
    TerminationSignals::endEventLoopOnTermination();
    if (!runs)
        return commandLine.runZip();

    Tessary controller;
    instance.listen([&controller](const QByteArray &request, const SingleInstance::Reply &reply, const QObject *asker) {
        return HandOver::serve(controller, request, reply, asker);
    });
    if (controller.launch()) {
        if (mode == CommandLine::ModeDestinations)
            controller.configureDestinationsSelected();
        else if (mode == CommandLine::ModeQuickZipClipboard)
            controller.quickZipCopiedFiles();
    }
    const int status = QApplication::exec();
    controller.stopRunningJobs();
    return status;
}
