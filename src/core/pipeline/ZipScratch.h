#pragma once

#include <QString>

#include <sys/types.h>

// A hidden folder beside an archive being made, for its parts. It goes, with everything in it,
// when the scratch is destroyed, and also when Tessary is killed outright: a small watcher
// process, which outlives it, then removes the folder and the hidden file that claimed the
// archive's name (Utilities::claimPath()).
class ZipScratch final
{
public:
    explicit ZipScratch(const QString &archivePath);
    ~ZipScratch();
    ZipScratch(const ZipScratch &) = delete;
    ZipScratch &operator=(const ZipScratch &) = delete;

    bool wasMade() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    /// Why the folder could not be made.
    QString errorString() const { return m_error; }
    QString entryPath(const QString &name) const { return m_path + u'/' + name; }

private:
    void startWatcher(const QString &archivePath);

    QString m_path;
    QString m_error;
    int m_watcherInput = -1;
    pid_t m_watcher = 0;
};
