#pragma once

#include <QProcess>
#include <QStringList>

// A server of the tests (a script under fixtures/, run with the system's Python) on 127.0.0.1;
// the script prints its port as its first line. Stopped when the object goes.
class FixtureServer final
{
public:
    FixtureServer(const QString &script, const QStringList &arguments);
    ~FixtureServer();
    FixtureServer(const FixtureServer &) = delete;
    FixtureServer &operator=(const FixtureServer &) = delete;

    bool isRunning() const { return m_port > 0; }
    int port() const { return m_port; }

private:
    QProcess m_process;
    int m_port = 0;
};
