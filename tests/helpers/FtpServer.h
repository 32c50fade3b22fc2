#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real FTP server (pyftpdlib) on 127.0.0.1 for one test, serving a temporary folder; stopped
// when the object goes. Users: "anna"/"secret" (all rights), "reader"/"secret" (may not
// delete), anonymous (all rights). A silent server accepts connections and never answers.
class FtpServer final
{
public:
    enum Kind { Normal, Silent };

    explicit FtpServer(Kind kind = Normal);
    ~FtpServer();
    FtpServer(const FtpServer &) = delete;
    FtpServer &operator=(const FtpServer &) = delete;

    /// Whether it started; its port then.
    bool isRunning() const { return m_port > 0; }
    int port() const { return m_port; }
    /// The folder it serves, and a path inside it.
    QString root() const { return m_root.path(); }
    QString filePath(const QString &relative) const { return m_root.filePath(relative); }

private:
    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
};
