#include "AesPartWriter.h"

#include "ZipRunner.h"
#include "core/support/FileNames.h"
#include "core/support/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kCancelled = -1;
// zip's level: libzip's own default, 9, takes two to three times as long for about 1% less.
constexpr zip_uint32_t kDeflateLevel = 6;
// The MS-DOS attributes zip sets below the unix mode.
constexpr zip_uint32_t kDosReadOnly = 0x01;
constexpr zip_uint32_t kDosFolder = 0x10;
// The extended timestamp field, with the modification time alone: exact and in UTC, where the
// MS-DOS time has two-second steps in local time. unzip, 7-Zip and libarchive restore it.
constexpr zip_uint16_t kUniversalTimeId = 0x5455;
constexpr zip_uint8_t kUniversalTimeHasModification = 0x01;
// A file that cannot be read ends libzip's writing, and the next pass leaves it out. Before it,
// every file that can no longer be opened is left out too: a pass fails again only when files
// keep going away while they are read.
constexpr int kMostPasses = 3;

QString nameOf(const QByteArray &storedName)
{
    return FileNames::decode(storedName);
}

// zip stores a name as it is. A name in UTF-8 is marked as such, as readers on other systems
// take an unmarked name for code page 437; any other name keeps its bytes, unmarked.
zip_flags_t encodingOf(const QByteArray &name)
{
    return QString::fromUtf8(name).toUtf8() == name ? ZIP_FL_ENC_UTF_8 : ZIP_FL_ENC_RAW;
}

// Whether the name ends in a suffix of a format that is compressed already, which zip stores.
bool isCompressedAlready(const QByteArray &name)
{
    static const QList<QByteArray> suffixes = [] {
        QList<QByteArray> encoded;
        for (const QString &suffix : ZipPlan::storedSuffixes().split(u':'))
            encoded << suffix.toUtf8();
        return encoded;
    }();
    return std::any_of(
        suffixes.cbegin(), suffixes.cend(), [&name](const QByteArray &suffix) { return name.endsWith(suffix); });
}

// The file opened for reading, or -1 with errno set. What has become something other than a
// file since the walk (a pipe would block the read) counts as unreadable.
int openRegularFile(int folder, const QByteArray &name)
{
    const int handle = ::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle < 0)
        return -1;
    struct stat status
    {
    };
    if (::fstat(handle, &status) == 0 && S_ISREG(status.st_mode))
        return handle;
    const int error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    ::close(handle);
    errno = error;
    return -1;
}

// Why libzip failed, for the user: where the archive could not be made, with the system's reason.
QString describeLibzipError(zip_error_t *error, const QString &archivePath)
{
    const QString folder = QFileInfo(archivePath).path();
    const int systemError = zip_error_code_system(error);
    const QString reason = zip_error_system_type(error) == ZIP_ET_SYS && systemError != 0
        ? qt_error_string(systemError)
        : QString::fromUtf8(zip_error_strerror(error));
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_OPEN:
    case ZIP_ER_TMPOPEN:
        return u"The archive could not be created in the folder \"%1\" (%2)."_s.arg(folder, reason);
    case ZIP_ER_WRITE:
    case ZIP_ER_SEEK:
    case ZIP_ER_CLOSE:
    case ZIP_ER_RENAME:
    case ZIP_ER_REMOVE:
        return u"The archive could not be written in the folder \"%1\" (%2)."_s.arg(folder, reason);
    default:
        return u"The archive could not be made (%1)."_s.arg(reason);
    }
}
} // namespace

// A file to add, as the walk found it.
struct AesPartWriter::File
{
    int folder = -1;
    QByteArray name;
    qint64 bytes = 0;
    time_t modified = 0;
    zip_int64_t index = -1;
    bool leftOut = false;
};

// The data of one file for libzip, opened only when libzip comes to write it: a part of many
// files holds one open at a time, and a file that went meanwhile is known by name.
class AesPartWriter::FileSource final
{
public:
    /// A source of the writer's file; null when libzip cannot make one.
    static zip_source_t *create(AesPartWriter &writer, size_t file)
    {
        auto *state = new FileSource(writer, file);
        zip_source_t *source = zip_source_function(writer.m_archive, &FileSource::call, state);
        if (source == nullptr)
            delete state;
        return source;
    }

private:
    FileSource(AesPartWriter &writer, size_t file)
        : m_writer(writer)
        , m_file(file)
    {
        zip_error_init(&m_error);
    }
    ~FileSource()
    {
        if (m_handle >= 0)
            ::close(m_handle);
        zip_error_fini(&m_error);
    }

    static zip_int64_t call(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *source = static_cast<FileSource *>(state);
        switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        case ZIP_SOURCE_STAT:
            return source->stat(static_cast<zip_stat_t *>(data));
        case ZIP_SOURCE_OPEN:
            return source->open();
        case ZIP_SOURCE_READ:
            return source->read(data, length);
        case ZIP_SOURCE_CLOSE:
            return source->close();
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&source->m_error, data, length);
        case ZIP_SOURCE_FREE:
            delete source;
            return 0;
        default:
            zip_error_set(&source->m_error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    File &file() const { return m_writer.m_files[m_file]; }

    // The size and time the walk found: libzip plans the entry's headers with them, and writes
    // the size actually read.
    zip_int64_t stat(zip_stat_t *status) const
    {
        zip_stat_init(status);
        status->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        status->size = zip_uint64_t(file().bytes);
        status->mtime = file().modified;
        return sizeof(zip_stat_t);
    }

    zip_int64_t open()
    {
        m_handle = openRegularFile(file().folder, file().name);
        return m_handle < 0 ? unreadable(errno) : 0;
    }

    zip_int64_t read(void *data, zip_uint64_t length)
    {
        ssize_t done = 0;
        do
            done = ::read(m_handle, data, length);
        while (done < 0 && errno == EINTR);
        if (done < 0)
            return unreadable(errno);
        m_writer.countRead(done);
        return done;
    }

    zip_int64_t close()
    {
        ::close(m_handle);
        m_handle = -1;
        m_writer.countFileWritten();
        return 0;
    }

    // Ends libzip's pass, telling the writer which file could not be read.
    zip_int64_t unreadable(int error)
    {
        m_writer.m_unreadFile = &file();
        m_writer.m_unreadError = error;
        zip_error_set(&m_error, ZIP_ER_READ, error);
        return -1;
    }

    AesPartWriter &m_writer;
    const size_t m_file;
    int m_handle = -1;
    zip_error_t m_error;
};

AesPartWriter::AesPartWriter(QList<ZipPlan::Unit> units, QString archivePath, QString password, Progressed progressed)
    : m_units(std::move(units))
    , m_archivePath(std::move(archivePath))
    , m_password(password.toUtf8())
    , m_progressed(std::move(progressed))
{
}

AesPartWriter::~AesPartWriter()
{
    if (m_archive != nullptr)
        zip_discard(m_archive);
    for (const int folder : std::as_const(m_workingFolders))
        ::close(folder);
}

int AesPartWriter::run()
{
    int status = build();
    // Unwritten, the archive leaves nothing behind: libzip writes into a temporary file beside it.
    if (m_archive != nullptr) {
        zip_discard(m_archive);
        m_archive = nullptr;
    }
    for (const int folder : std::as_const(m_workingFolders))
        ::close(folder);
    m_workingFolders.clear();
    if (m_cancelled)
        status = kCancelled;
    if (status != 0 && status != SomeFilesUnread)
        ::unlink(FileNames::encode(m_archivePath).constData());
    return status;
}

QString AesPartWriter::failure(int status, const QString &outputFilePath) const
{
    if (status < 0 || m_failure.isEmpty())
        return u"The archive was stopped before it was finished."_s;
    // The user knows the archive's folder, not the one its part was written in.
    QString failure = m_failure;
    return failure.replace(QFileInfo(m_archivePath).path(), QFileInfo(outputFilePath).path());
}

int AesPartWriter::build()
{
    if (zip_encryption_method_supported(ZIP_EM_AES_256, 1) == 0) {
        fail(u"The archive could not be encrypted: this system's libzip has no AES."_s);
        return Failed;
    }
    int error = ZIP_ER_OK;
    m_archive = zip_open(FileNames::encode(m_archivePath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (m_archive == nullptr) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, error);
        fail(describeLibzipError(&reason, m_archivePath));
        zip_error_fini(&reason);
        return Failed;
    }
    // libzip asks between the blocks it writes.
    zip_register_cancel_callback_with_state(
        m_archive,
        [](zip_t *, void *writer) { return static_cast<AesPartWriter *>(writer)->m_cancelled.load() ? 1 : 0; }, nullptr,
        this);
    for (const ZipPlan::Unit &unit : m_units) {
        if (m_cancelled)
            return kCancelled;
        if (!addUnit(unit))
            return Failed;
    }
    return m_cancelled ? kCancelled : writeArchive();
}

bool AesPartWriter::addUnit(const ZipPlan::Unit &unit)
{
    // zip runs in the folder the stored name starts from, and is given the name: so is the walk.
    // Opened once, the folder is reached however long its path; the names in it are shorter
    // than the system's limit, as zip takes none longer.
    const QString workingPath = unit.path.chopped(unit.storedName.size());
    const int folder = workingFolder(workingPath);
    if (folder < 0)
        return fail(
            u"The folder \"%1\" could not be opened (%2)."_s.arg(QDir::cleanPath(workingPath), qt_error_string(errno)));
    return addEntry(folder, FileNames::encode(unit.storedName), unit.recursive);
}

bool AesPartWriter::addEntry(int folder, const QByteArray &name, bool recursive)
{
    // zip leaves a longer name out without a word; the plan names it.
    if (name.size() > ZipPlan::MaximumStoredNameBytes)
        return true;
    struct stat status
    {
    };
    if (::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        leaveOut(name, errno);
        return true;
    }
    switch (status.st_mode & S_IFMT) {
    case S_IFDIR:
        return addFolder(folder, name, status, recursive);
    case S_IFLNK:
        return addLink(folder, name, status);
    case S_IFREG:
        return addFile(folder, name, status);
    case S_IFSOCK: // zip tries to read it, and cannot
        leaveOut(name, ENXIO);
        return true;
    default: // pipes and devices, which zip passes over
        return true;
    }
}

bool AesPartWriter::addFolder(int folder, const QByteArray &name, const struct stat &status, bool recursive)
{
    const zip_int64_t index = zip_dir_add(m_archive, name.constData(), encodingOf(name));
    if (index < 0 || !setAttributes(index, status))
        return failWithLibzipError();
    ++m_entries;
    if (!recursive)
        return true;
    const std::optional<QList<QByteArray>> names = FileNames::namesIn(folder, name);
    if (!names) { // zip keeps the folder's entry, without what it could not list
        leaveOut(name, errno);
        return true;
    }
    for (const QByteArray &child : *names) {
        if (m_cancelled)
            return true;
        if (!addEntry(folder, name + '/' + child, true))
            return false;
    }
    return true;
}

bool AesPartWriter::addLink(int folder, const QByteArray &name, const struct stat &status)
{
    std::array<char, PATH_MAX> target {};
    const ssize_t length = ::readlinkat(folder, name.constData(), target.data(), target.size());
    if (length < 0) {
        leaveOut(name, errno);
        return true;
    }
    // The target is the entry's data, stored as it is and not encrypted: it is a path, shown like
    // the entries' names, and libarchive reads a link's target without decrypting it.
    void *data = std::malloc(size_t(length) + 1);
    if (data == nullptr)
        return fail(u"The archive could not be made (%1)."_s.arg(qt_error_string(ENOMEM)));
    std::memcpy(data, target.data(), size_t(length));
    zip_source_t *source = zip_source_buffer(m_archive, data, zip_uint64_t(length), 1);
    if (source == nullptr) {
        std::free(data);
        return failWithLibzipError();
    }
    const zip_int64_t index = zip_file_add(m_archive, name.constData(), source, encodingOf(name));
    if (index < 0) {
        zip_source_free(source);
        return failWithLibzipError();
    }
    ++m_entries;
    if (!setAttributes(index, status) || zip_set_file_compression(m_archive, zip_uint64_t(index), ZIP_CM_STORE, 0) != 0)
        return failWithLibzipError();
    return true;
}

bool AesPartWriter::addFile(int folder, const QByteArray &name, const struct stat &status)
{
    if (::faccessat(folder, name.constData(), R_OK, 0) != 0) {
        leaveOut(name, errno);
        return true;
    }
    m_files.push_back(File {folder, name, qint64(status.st_size), status.st_mtim.tv_sec});
    zip_source_t *source = FileSource::create(*this, m_files.size() - 1);
    if (source == nullptr)
        return failWithLibzipError();
    const zip_int64_t index = zip_file_add(m_archive, name.constData(), source, encodingOf(name));
    if (index < 0) {
        zip_source_free(source);
        return failWithLibzipError();
    }
    m_files.back().index = index;
    ++m_entries;
    // As zip does, what is compressed already is stored, and so is an empty file.
    const bool stored = status.st_size == 0 || isCompressedAlready(name);
    if (!setAttributes(index, status)
        || zip_set_file_compression(
               m_archive, zip_uint64_t(index), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, stored ? 0 : kDeflateLevel)
            != 0
        || zip_file_set_encryption(m_archive, zip_uint64_t(index), ZIP_EM_AES_256, m_password.constData()) != 0)
        return failWithLibzipError();
    return true;
}

bool AesPartWriter::setAttributes(qint64 index, const struct stat &status)
{
    // As zip sets them: the unix mode in the upper half, the MS-DOS folder and read-only bits in
    // the lower, the MS-DOS time rounded up to its even seconds.
    zip_uint32_t attributes = zip_uint32_t(status.st_mode) << 16;
    if (S_ISDIR(status.st_mode))
        attributes |= kDosFolder;
    if ((status.st_mode & S_IWUSR) == 0)
        attributes |= kDosReadOnly;
    const time_t modified = status.st_mtim.tv_sec;
    std::array<zip_uint8_t, 5> universalTime {kUniversalTimeHasModification};
    qToLittleEndian(qint32(modified), universalTime.data() + 1);
    const auto entry = zip_uint64_t(index);
    return zip_file_set_external_attributes(m_archive, entry, 0, ZIP_OPSYS_UNIX, attributes) == 0
        && zip_file_set_mtime(m_archive, entry, modified + (modified & 1), 0) == 0
        && zip_file_extra_field_set(m_archive, entry, kUniversalTimeId, ZIP_EXTRA_FIELD_NEW, universalTime.data(),
               zip_uint16_t(universalTime.size()), ZIP_FL_LOCAL | ZIP_FL_CENTRAL)
        == 0;
}

int AesPartWriter::writeArchive()
{
    // libzip reads the files, compresses, encrypts and writes them all here.
    for (int pass = 1;; ++pass) {
        if (m_entries == 0) { // zip too has nothing to do then
            fail(m_unreadNames.isEmpty()
                    ? u"There is nothing to put into the archive."_s
                    : u"Nothing could be put into the archive: \"%1\" could not be read."_s.arg(m_unreadNames.first()));
            return Failed;
        }
        m_unreadFile = nullptr;
        m_bytesReadInPass = 0;
        m_filesWrittenInPass = 0;
        if (zip_close(m_archive) == 0) {
            m_archive = nullptr;
            return m_unreadNames.isEmpty() ? 0 : SomeFilesUnread;
        }
        if (m_cancelled)
            return kCancelled;
        if (m_unreadFile == nullptr) {
            failWithLibzipError();
            return Failed;
        }
        if (pass == kMostPasses) {
            fail(u"\"%1\" could not be read (%2)."_s.arg(nameOf(m_unreadFile->name), qt_error_string(m_unreadError)));
            return Failed;
        }
        leaveOutFile(*m_unreadFile, m_unreadError);
        leaveOutUnopenableFiles();
        zip_error_clear(m_archive);
    }
}

void AesPartWriter::leaveOut(const QByteArray &name, int error)
{
    m_unreadNames << nameOf(name);
    if (const Log::Handler log = Log::handler())
        log(u"Archive: Could not read %1 (%2)"_s.arg(nameOf(name), qt_error_string(error)));
}

void AesPartWriter::leaveOutFile(File &file, int error)
{
    zip_delete(m_archive, zip_uint64_t(file.index));
    file.leftOut = true;
    --m_entries;
    leaveOut(file.name, error);
}

void AesPartWriter::leaveOutUnopenableFiles()
{
    for (File &file : m_files) {
        if (file.leftOut)
            continue;
        const int handle = openRegularFile(file.folder, file.name);
        if (handle < 0)
            leaveOutFile(file, errno);
        else
            ::close(handle);
    }
}

void AesPartWriter::countRead(qint64 bytes)
{
    m_bytesReadInPass += bytes;
    // A pass after a failed one reads again what was read before: only what is new counts.
    if (m_bytesReadInPass > m_bytesRead.load())
        m_bytesRead = m_bytesReadInPass;
    if (m_bytesRead.load() - m_bytesReported >= ZipRunner::DotSize)
        reportProgress();
}

void AesPartWriter::countFileWritten()
{
    // As with the bytes, a pass after a failed one counts only the files it gets further with.
    if (++m_filesWrittenInPass > m_filesWritten.load())
        m_filesWritten = m_filesWrittenInPass;
    m_bytesReported = m_bytesRead.load();
    if (m_progressed)
        m_progressed();
}

void AesPartWriter::reportProgress()
{
    const qint64 read = m_bytesRead.load();
    if (read == m_bytesReported)
        return;
    m_bytesReported = read;
    if (m_progressed)
        m_progressed();
}

int AesPartWriter::workingFolder(const QString &path)
{
    if (const auto found = m_workingFolders.constFind(path); found != m_workingFolders.cend())
        return *found;
    const QByteArray encoded = path.isEmpty() ? QByteArray(".") : FileNames::encode(path);
    const int folder = ::open(encoded.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
        m_workingFolders.insert(path, folder);
    return folder;
}

bool AesPartWriter::fail(const QString &failure)
{
    m_failure = failure;
    if (const Log::Handler log = Log::handler())
        log(u"Archive: %1"_s.arg(failure));
    return false;
}

bool AesPartWriter::failWithLibzipError()
{
    return fail(describeLibzipError(zip_get_error(m_archive), m_archivePath));
}
