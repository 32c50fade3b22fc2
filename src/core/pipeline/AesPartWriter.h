#pragma once

#include "PartBuilder.h"
#include "ZipPlan.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

struct stat;
struct zip;

// Builds one part whose files are encrypted with AES-256 (the AE-2 format that 7-Zip and
// libarchive read), with libzip. The part holds what zip -ry would store for the same units: the
// same names in the same order, folders (empty ones too), links kept as links, unix modes and
// modification times. Files are read only when libzip writes them, one at a time, and nothing
// but the encrypted archive is written to disk. A file that cannot be read when its turn comes
// is left out and named, as zip does.
class AesPartWriter final : public PartBuilder
{
public:
    /// Told, on the writer's thread, whenever the bytes read have grown by ZipRunner::DotSize or a
    /// file has been read to its end.
    using Progressed = std::function<void()>;

    /// The status of a run that failed.
    static constexpr int Failed = 1;

    AesPartWriter(QList<ZipPlan::Unit> units, QString archivePath, QString password, Progressed progressed);
    ~AesPartWriter() override;
    AesPartWriter(const AesPartWriter &) = delete;
    AesPartWriter &operator=(const AesPartWriter &) = delete;

    /// 0 when the archive is made, SomeFilesUnread when it is made without files that could not
    /// be read, -1 when cancelled, Failed otherwise. Nothing is left at the archive's path unless
    /// it was made.
    int run() override;
    void cancel() override { m_cancelled = true; }
    qint64 bytesRead() const override { return m_bytesRead.load(); }
    /// Each file costs a key derivation of its own, which takes as long as reading many bytes.
    qsizetype filesWritten() const override { return m_filesWritten.load(); }
    QString failure(int status, const QString &outputFilePath) const override;
    /// A folder that could not be listed is among them: its entry is in the archive, without what
    /// it holds.
    QStringList unreadNames() const override { return m_unreadNames; }

private:
    struct File;
    class FileSource;

    int build();
    bool addUnit(const ZipPlan::Unit &unit);
    bool addEntry(int folder, const QByteArray &name, bool recursive);
    bool addFolder(int folder, const QByteArray &name, const struct stat &status, bool recursive);
    bool addLink(int folder, const QByteArray &name, const struct stat &status);
    bool addFile(int folder, const QByteArray &name, const struct stat &status);
    bool setAttributes(qint64 index, const struct stat &status);
    int writeArchive();
    void leaveOut(const QByteArray &name, int error);
    void leaveOutFile(File &file, int error);
    void leaveOutUnopenableFiles();
    void countRead(qint64 bytes);
    void countFileWritten();
    void reportProgress();
    int workingFolder(const QString &path);
    bool fail(const QString &failure);
    bool failWithLibzipError();

    const QList<ZipPlan::Unit> m_units;
    const QString m_archivePath;
    const QByteArray m_password;
    const Progressed m_progressed;

    zip *m_archive = nullptr;
    QHash<QString, int> m_workingFolders;
    std::vector<File> m_files;
    qsizetype m_entries = 0;
    // The file whose reading ended libzip's pass under way, and why.
    File *m_unreadFile = nullptr;
    int m_unreadError = 0;

    std::atomic<qint64> m_bytesRead {0};
    qint64 m_bytesReadInPass = 0;
    std::atomic<qsizetype> m_filesWritten {0};
    qsizetype m_filesWrittenInPass = 0;
    qint64 m_bytesReported = 0;
    std::atomic<bool> m_cancelled {false};
    QStringList m_unreadNames;
    QString m_failure;
};
