#include "DesktopOpener.h"

#include "core/pipeline/ThreadHops.h"

#include <QProcess>

using namespace Qt::Literals::StringLiterals;

namespace {
// xdg-open's exit statuses, as its manual gives them.
QString describeStatus(int status)
{
    switch (status) {
    case 2:
        return u"it could not be found"_s;
    case 3:
        return u"no program is set to open it"_s;
    case 4:
        return u"the program set to open it failed"_s;
    default:
        return u"xdg-open ended with status %1"_s.arg(status);
    }
}
} // namespace

void DesktopOpener::open(const QString &path, const QObject *receiver, Failed failed)
{
    // Some desktops' xdg-open waits for the program it started: the process is let go only once
    // it ends, and never killed, so that the user's program lives on.
    auto *process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const auto report = boundTo(receiver, std::move(failed));
    QObject::connect(process, &QProcess::finished, process, [process, report](int status, QProcess::ExitStatus how) {
        if (how != QProcess::NormalExit)
            report(u"xdg-open stopped unexpectedly"_s);
        else if (status != 0)
            report(describeStatus(status));
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        report(u"xdg-open could not be started: %1"_s.arg(process->errorString()));
        process->deleteLater();
    });
    process->start(u"xdg-open"_s, {path});
}
