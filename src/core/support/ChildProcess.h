#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <utility>

#include <sys/types.h>

// A tool run as a child process from an argument vector (never through a shell), with its
// standard output read in chunks on the calling thread, its standard input empty (or bytes given
// to it: a secret that must not show on its command line, a list too long for one) and its
// standard error shared with ours (or read with its output). Another thread may terminate it at
// any time.
class ChildProcess final
{
public:
    ChildProcess(QString program, QStringList arguments, QString workingDirectory = {});
    /// Terminates and reaps a child that is still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    /// Whether the child's error output comes with its standard output rather than going to
    /// ours; set before start().
    void setErrorOutputMerged(bool merged) { m_errorOutputMerged = merged; }
    /// What the child reads on its standard input, of any length; set before start().
    void setStandardInput(const QByteArray &input) { m_input = input; }
    /// Whether the child is ended (SIGTERM) when the thread that started it ends, the whole
    /// program killed included; set before start(). Through setpriv, where the system has it.
    void setEndsWithParent(bool ends) { m_endsWithParent = ends; }
    /// Gives the child a terminal of its own (a pseudo-terminal as its controlling terminal, with
    /// no special keys) on which each answer is typed, with a line end, once the child's output
    /// shows the prompt that goes before it and the terminal no longer echoes: how a password
    /// reaches a tool that asks for one, never showing on a command line. Set before start().
    void setTerminalAnswers(const QList<std::pair<QByteArray, QByteArray>> &promptsAndAnswers)
    {
        m_terminalAnswers = promptsAndAnswers;
    }
    /// Starts the child; false, with errorString() set, when it could not be started.
    bool start();
    QString errorString() const { return m_errorString; }

    /// Blocks until the child writes; the next chunk of its output, empty at the end of it. Answers
    /// the prompts the chunk completes.
    QByteArray readChunk();
    /// Blocks until the child has ended: its exit status, or -1 when a signal ended it.
    int waitForExit();

    /// Asks the running child to end (SIGTERM). Safe from any thread; does nothing once the
    /// child has ended.
    void terminate();

private:
    /// A pseudo-terminal whose other side the child opens; false when none could be had.
    bool openTerminal(QByteArray &childSidePath);
    void answerPrompts(const QByteArray &chunk);
    void closeOutput();

    QString m_program;
    QStringList m_arguments;
    QString m_workingDirectory;
    QString m_errorString;
    bool m_errorOutputMerged = false;
    bool m_endsWithParent = false;
    QByteArray m_input;
    QList<std::pair<QByteArray, QByteArray>> m_terminalAnswers;
    QByteArray m_promptScan;
    int m_terminalFd = -1;
    int m_outputFd = -1;
    QByteArray m_readBuffer;

    // The child's pid is valid while m_running is set; it is cleared before the child is
    // reaped, so terminate() can never signal a reused pid.
    QMutex m_lock;
    pid_t m_pid = 0;
    bool m_running = false;
};
