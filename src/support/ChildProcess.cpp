#include "ChildProcess.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {
constexpr qsizetype kChunkSize = 64 * 1024;
}

ChildProcess::ChildProcess(QString program, QStringList arguments, QString workingDirectory)
    : m_program(std::move(program))
    , m_arguments(std::move(arguments))
    , m_workingDirectory(std::move(workingDirectory))
{
}

ChildProcess::~ChildProcess()
{
    bool running = false;
    {
        QMutexLocker locker(&m_lock);
        running = m_running;
    }
    if (running) {
        terminate();
        waitForExit();
    }
    closeOutput();
}

bool ChildProcess::start()
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        m_errorString = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }

    const QByteArray program = QFile::encodeName(m_program);
    std::vector<QByteArray> encoded;
    encoded.reserve(m_arguments.size() + 1);
    encoded.push_back(program);
    for (const QString &argument : std::as_const(m_arguments))
        encoded.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray workingDirectory = QFile::encodeName(m_workingDirectory);

    int inputFds[2] = {-1, -1};
    if (!m_input.isEmpty() && ::pipe2(inputFds, O_CLOEXEC) != 0) {
        m_errorString = QString::fromLocal8Bit(std::strerror(errno));
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inputFds[0] >= 0)
        posix_spawn_file_actions_adddup2(&actions, inputFds[0], STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    if (m_errorOutputMerged)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    if (!workingDirectory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.constData());

    pid_t pid = 0;
    const int result = ::posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (inputFds[0] >= 0) {
        ::close(inputFds[0]);
        // Small enough for the pipe's buffer: written whole without waiting for the child.
        if (result == 0)
            ::write(inputFds[1], m_input.constData(), static_cast<size_t>(m_input.size()));
        ::close(inputFds[1]);
    }

    if (result != 0) {
        ::close(pipeFds[0]);
        m_errorString = QString::fromLocal8Bit(std::strerror(result));
        return false;
    }

    m_outputFd = pipeFds[0];
    QMutexLocker locker(&m_lock);
    m_pid = pid;
    m_running = true;
    return true;
}

QByteArray ChildProcess::readChunk()
{
    if (m_outputFd < 0)
        return {};
    m_readBuffer.resize(kChunkSize);
    ssize_t count = 0;
    do {
        count = ::read(m_outputFd, m_readBuffer.data(), static_cast<size_t>(m_readBuffer.size()));
    } while (count < 0 && errno == EINTR);
    if (count <= 0) {
        closeOutput();
        return {};
    }
    return QByteArray(m_readBuffer.constData(), count);
}

int ChildProcess::waitForExit()
{
    pid_t pid = 0;
    {
        QMutexLocker locker(&m_lock);
        if (!m_running)
            return -1;
        pid = m_pid;
    }

    // Wait for the end without reaping, so that the pid stays ours until terminate() can no
    // longer reach it.
    siginfo_t info {};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) { }
    {
        QMutexLocker locker(&m_lock);
        m_running = false;
    }

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    closeOutput();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProcess::terminate()
{
    QMutexLocker locker(&m_lock);
    if (m_running)
        ::kill(m_pid, SIGTERM);
}

void ChildProcess::closeOutput()
{
    if (m_outputFd >= 0) {
        ::close(m_outputFd);
        m_outputFd = -1;
    }
}
