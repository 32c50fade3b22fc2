#include "ZipScratch.h"

#include "core/support/FileNames.h"
#include "core/support/Utilities.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

extern char **environ;

namespace {
// Waits for a line on its input. "done" ends it quietly; the end of the input without it means
// that Tessary is gone, and what it left is removed: the folder, and the name's claim.
const char *const kWatcherScript = "read -r line; [ \"$line\" = done ] && exit 0\n"
                                   "rm -rf -- \"$1\"; rm -f -- \"$2\"";

constexpr int kOpenFolders = 16;

int removeScratchEntry(const char *path, const struct stat *, int, struct FTW *)
{
    ::remove(path);
    return 0;
}
} // namespace

ZipScratch::ZipScratch(const QString &archivePath)
{
    QByteArray pattern = FileNames::encode(QFileInfo(archivePath).path() + u"/.tessary-XXXXXX"_s);
    if (::mkdtemp(pattern.data()) == nullptr) {
        m_error = qt_error_string(errno);
        return;
    }
    m_path = FileNames::decode(pattern);
    startWatcher(archivePath);
}

ZipScratch::~ZipScratch()
{
    if (!m_path.isEmpty())
        ::nftw(FileNames::encode(m_path).constData(), &removeScratchEntry, kOpenFolders, FTW_DEPTH | FTW_PHYS);
    if (m_watcherInput >= 0) {
        const ssize_t written = ::write(m_watcherInput, "done\n", 5);
        Q_UNUSED(written);
        ::close(m_watcherInput);
    }
    if (m_watcher > 0)
        ::waitpid(m_watcher, nullptr, 0);
}

void ZipScratch::startWatcher(const QString &archivePath)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return; // no watcher: only a kill would leave the folder
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    const QByteArray folder = FileNames::encode(m_path);
    const QByteArray claim = FileNames::encode(Utilities::claimPath(archivePath));
    char *const arguments[] = {const_cast<char *>("sh"), const_cast<char *>("-c"), const_cast<char *>(kWatcherScript),
        const_cast<char *>("tessary-scratch"), const_cast<char *>(folder.constData()),
        const_cast<char *>(claim.constData()), nullptr};
    if (::posix_spawn(&m_watcher, "/bin/sh", &actions, nullptr, arguments, environ) != 0)
        m_watcher = 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    if (m_watcher > 0)
        m_watcherInput = fds[1];
    else
        ::close(fds[1]);
}
