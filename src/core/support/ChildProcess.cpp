#include "ChildProcess.h"

#include "FileNames.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qsizetype kChunkSize = 64 * 1024;
// Where the child opens its terminal before it lets go of the descriptor.
constexpr int kTerminalFd = 3;
// Enough of the output to hold a prompt that arrives in pieces.
constexpr qsizetype kPromptScanBytes = 256;
constexpr int kEchoOffWaitMs = 5000;
constexpr int kEchoOffPollMs = 5;
// Sets the parent-death signal, then becomes the program.
const QString kSetprivPath = QStringLiteral("/usr/bin/setpriv");

bool writeWhole(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno != EINTR)
            return false;
        done += std::max<ssize_t>(written, 0);
    }
    return true;
}
} // namespace

bool ChildProcess::openTerminal(QByteArray &childSidePath)
{
    m_terminalFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_terminalFd < 0 || ::grantpt(m_terminalFd) != 0 || ::unlockpt(m_terminalFd) != 0)
        return false;
    char path[128] = {};
    if (::ptsname_r(m_terminalFd, path, sizeof path) != 0)
        return false;
    ::fcntl(m_terminalFd, F_SETFL, ::fcntl(m_terminalFd, F_GETFL) | O_NONBLOCK);
    // No key is special: an answer reaches the child as it is, up to its line end.
    termios settings {};
    if (::tcgetattr(m_terminalFd, &settings) == 0) {
        settings.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | ISTRIP);
        settings.c_lflag &= ~static_cast<tcflag_t>(ISIG | IEXTEN);
        for (const int key : {VINTR, VQUIT, VSUSP, VKILL, VERASE, VWERASE, VEOF, VLNEXT, VREPRINT, VSTART, VSTOP})
            settings.c_cc[key] = _POSIX_VDISABLE;
        ::tcsetattr(m_terminalFd, TCSANOW, &settings);
    }
    childSidePath = path;
    return true;
}

void ChildProcess::answerPrompts(const QByteArray &chunk)
{
    if (m_terminalFd < 0 || m_terminalAnswers.isEmpty())
        return;
    // What the child writes on the terminal itself is of no interest; it must not fill up.
    char discarded[256];
    while (::read(m_terminalFd, discarded, sizeof discarded) > 0) { }

    m_promptScan = QByteArray(m_promptScan + chunk).right(kPromptScanBytes);
    while (!m_terminalAnswers.isEmpty()) {
        const qsizetype at = m_promptScan.indexOf(m_terminalAnswers.first().first);
        if (at < 0)
            return;
        m_promptScan.remove(0, at + m_terminalAnswers.first().first.size());
        // The answer is typed only once the child has turned the echo off.
        termios settings {};
        for (int waited = 0; waited < kEchoOffWaitMs; waited += kEchoOffPollMs) {
            if (::tcgetattr(m_terminalFd, &settings) == 0 && (settings.c_lflag & ECHO) == 0)
                break;
            ::usleep(kEchoOffPollMs * 1000);
        }
        const QByteArray line = m_terminalAnswers.takeFirst().second + '\n';
        [[maybe_unused]] const ssize_t written
            = ::write(m_terminalFd, line.constData(), static_cast<size_t>(line.size()));
    }
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

    QString programPath = m_program;
    QStringList arguments = m_arguments;
    if (m_endsWithParent && QFileInfo(kSetprivPath).isExecutable()) {
        arguments = QStringList {u"--pdeathsig"_s, u"TERM"_s, u"--"_s, m_program} + arguments;
        programPath = kSetprivPath;
    }
    const QByteArray program = FileNames::encode(programPath);
    std::vector<QByteArray> encoded;
    encoded.reserve(arguments.size() + 1);
    encoded.push_back(program);
    for (const QString &argument : std::as_const(arguments))
        encoded.push_back(FileNames::encode(argument));
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray workingDirectory = FileNames::encode(m_workingDirectory);

    // The input waits whole in a file of memory, however long it is: the child reads it at its own
    // pace while its output is read here, and nothing of it touches the disk.
    const int inputFd = m_input.isEmpty() ? -1 : ::memfd_create("input", MFD_CLOEXEC);
    if (!m_input.isEmpty() && (inputFd < 0 || !writeWhole(inputFd, m_input) || ::lseek(inputFd, 0, SEEK_SET) != 0)) {
        m_errorString = QString::fromLocal8Bit(std::strerror(errno));
        if (inputFd >= 0)
            ::close(inputFd);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }

    QByteArray terminalPath;
    if (!m_terminalAnswers.isEmpty() && !openTerminal(terminalPath)) {
        m_errorString = QString::fromLocal8Bit(std::strerror(errno));
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (!terminalPath.isEmpty()) {
        // In a session of its own, the first terminal the child opens becomes its controlling
        // terminal, the one a tool asks for passwords on; the descriptor itself is not kept.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        posix_spawn_file_actions_addopen(&actions, kTerminalFd, terminalPath.constData(), O_RDWR, 0);
        posix_spawn_file_actions_addclose(&actions, kTerminalFd);
    }
    if (inputFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, inputFd, STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    if (m_errorOutputMerged)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    if (!workingDirectory.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.constData());

    pid_t pid = 0;
    const int result = ::posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeFds[1]);
    if (inputFd >= 0)
        ::close(inputFd);

    if (result != 0) {
        ::close(pipeFds[0]);
        closeOutput();
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
    QByteArray chunk(m_readBuffer.constData(), count);
    answerPrompts(chunk);
    return chunk;
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
    for (int *fd : {&m_outputFd, &m_terminalFd}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}
