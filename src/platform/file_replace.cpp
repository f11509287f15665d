#include "file_replace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quad {

namespace {

std::function<bool(const QString&)>& writeFault()
{
    static std::function<bool(const QString&)> fails;
    return fails;
}

std::function<bool(const QString&)>& syncFault()
{
    static std::function<bool(const QString&)> fails;
    return fails;
}

/// fsync, or the failure a test asked for.
int syncFile(int fd, const QString& target)
{
    if (syncFault() && syncFault()(target)) {
        errno = EIO;
        return -1;
    }
    return ::fsync(fd);
}

QByteArray nativeName(const QString& path)
{
    return QFile::encodeName(path);
}

QString systemCause(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// The process's umask, read without changing it (other threads may be creating files).
mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask);
            }
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

QString leftoverPattern(const QString& targetName)
{
    return QStringLiteral("^") + QRegularExpression::escape(targetName)
        + QStringLiteral("\\.[A-Za-z0-9]{6}\\.tmp(-journal)?$");
}

QString randomPart()
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString part;
    for (int i = 0; i < 6; ++i)
        part += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    return part;
}

/// Makes a rename in folder last through a power cut; a folder that cannot be synced is no error.
void syncFolder(const QString& folder)
{
    const int fd = ::open(nativeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

/// Renames from to to in one step unless a file is called to; false with errno set otherwise.
bool renameWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray source = nativeName(from);
    const QByteArray destination = nativeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, destination.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    // A file system without that kind of rename: a second link fails on a name taken, just the same.
    if (::link(source.constData(), destination.constData()) == 0) {
        ::unlink(source.constData());
        return true;
    }
    if (errno == EEXIST || (errno != EPERM && errno != ENOTSUP && errno != ENOSYS))
        return false;
    // Nor links: the name is checked first.
    struct stat there
    {
    };
    if (::lstat(destination.constData(), &there) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(source.constData(), destination.constData()) == 0;
}

} // namespace

QFileDevice::Permissions newFilePermissions()
{
    const mode_t mode = 0666 & ~currentUmask();
    QFileDevice::Permissions p;
    const std::pair<mode_t, QFileDevice::Permissions> bits[]
        = {{S_IRUSR, QFileDevice::ReadOwner | QFileDevice::ReadUser},
           {S_IWUSR, QFileDevice::WriteOwner | QFileDevice::WriteUser},
           {S_IRGRP, QFileDevice::ReadGroup},
           {S_IWGRP, QFileDevice::WriteGroup},
           {S_IROTH, QFileDevice::ReadOther},
           {S_IWOTH, QFileDevice::WriteOther}};
    for (const auto& [bit, permission] : bits) {
        if (mode & bit)
            p |= permission;
    }
    return p;
}

// ---------------------------------------------------------------------------------------------
// FileLock

FileLock::FileLock(const QString& path)
{
    m_fd = ::open(nativeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    m_held = m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

// ---------------------------------------------------------------------------------------------
// FileBeside

FileBeside::FileBeside(const QString& target)
    : m_target(target)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const QString candidate
            = info.dir().filePath(info.fileName() + QLatin1Char('.') + randomPart() + QStringLiteral(".tmp"));
        // 0666 less the umask: the mode any new file of the process gets.
        m_fd = ::open(nativeName(candidate).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            m_path = candidate;
        else if (errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_error = systemCause(errno);
        return;
    }
    // Held while the object lives: removeLeftovers() of another program leaves the file alone.
    ::flock(m_fd, LOCK_EX | LOCK_NB);
}

FileBeside::~FileBeside()
{
    if (!m_committed && !m_path.isEmpty()) {
        ::unlink(nativeName(m_path).constData());
        ::unlink(nativeName(m_path + QStringLiteral("-journal")).constData());
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileBeside::fail(const QString& cause)
{
    m_error = cause;
    return false;
}

bool FileBeside::write(const QByteArray& bytes)
{
    if (m_fd < 0)
        return false;
    qint64 toWrite = bytes.size();
    const bool full = writeFault() && writeFault()(m_target);
    if (full)
        toWrite /= 2;
    const char* data = bytes.constData();
    while (toWrite > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(toWrite));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(systemCause(n < 0 ? errno : ENOSPC));
        data += n;
        toWrite -= n;
    }
    if (full)
        return fail(systemCause(ENOSPC));
    return true;
}

bool FileBeside::setMode(unsigned mode)
{
    if (m_fd < 0)
        return false;
    if (::fchmod(m_fd, mode_t(mode) & 07777) != 0)
        return fail(systemCause(errno));
    return true;
}

bool FileBeside::commit()
{
    return place(m_target, true);
}

bool FileBeside::commitAs(const QString& path)
{
    return place(path, false);
}

bool FileBeside::place(const QString& path, bool replacing)
{
    if (m_fd < 0 || m_committed)
        return false;
    // Whole on disk before it takes its name.
    if (syncFile(m_fd, path) != 0)
        return fail(systemCause(errno));
    const bool renamed = replacing ? ::rename(nativeName(m_path).constData(), nativeName(path).constData()) == 0
                                   : renameWithoutReplacing(m_path, path);
    if (!renamed)
        return fail(systemCause(errno));
    m_committed = true;
    syncFolder(QFileInfo(path).path());
    return true;
}

void FileBeside::removeLeftovers(const QString& target)
{
    const QFileInfo info(target);
    const QDir folder = info.dir();
    const QRegularExpression ours(leftoverPattern(info.fileName()));
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!ours.match(name).hasMatch() || name.endsWith(QLatin1String("-journal")))
            continue;
        // A file still locked is being written by a living program.
        const QString path = folder.filePath(name);
        const FileLock lock(path);
        if (lock.held()) {
            ::unlink(nativeName(path).constData());
            ::unlink(nativeName(path + QStringLiteral("-journal")).constData());
        }
    }
    // A journal whose copy is gone belongs to nobody.
    for (const QString& name : names) {
        if (!ours.match(name).hasMatch() || !name.endsWith(QLatin1String("-journal")))
            continue;
        const QString copy = name.chopped(int(sizeof "-journal") - 1);
        if (!folder.exists(copy))
            ::unlink(nativeName(folder.filePath(name)).constData());
    }
}

// ---------------------------------------------------------------------------------------------

namespace {

QString writeError(const QString& path, const QString& cause)
{
    return QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(path), cause);
}

/// Replaces the file at path with bytes through a FileBeside; false with the cause in *cause.
bool replaceThroughFileBeside(const QString& path, const QByteArray& bytes, QString* cause)
{
    FileBeside::removeLeftovers(path);
    FileBeside out(path);
    struct stat old
    {
    };
    const bool done = out.isOpen() && (::stat(nativeName(path).constData(), &old) != 0 || out.setMode(old.st_mode))
        && out.write(bytes) && out.commit();
    if (!done)
        *cause = out.errorString();
    return done;
}

/// Copies the bytes of source into out, with source's mode; false with the cause in *cause.
bool copyInto(const QString& source, FileBeside& out, QString* cause)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *cause = in.errorString();
        return false;
    }
    if (!out.isOpen()) {
        *cause = out.errorString();
        return false;
    }
    constexpr qint64 kChunk = 1 << 20;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty()) {
            if (in.error() != QFileDevice::NoError) {
                *cause = in.errorString();
                return false;
            }
            break;
        }
        if (!out.write(chunk)) {
            *cause = out.errorString();
            return false;
        }
    }
    struct stat from
    {
    };
    if (::stat(nativeName(source).constData(), &from) == 0 && !out.setMode(from.st_mode)) {
        *cause = out.errorString();
        return false;
    }
    return true;
}

} // namespace

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QString cause;
    if (replaceThroughFileBeside(path, bytes, &cause))
        return true;
    if (error)
        *error = writeError(path, cause);
    return false;
}

bool copyFileBytes(const QString& source, const QString& destination, QString* error)
{
    FileBeside::removeLeftovers(destination);
    FileBeside out(destination);
    QString cause;
    if (copyInto(source, out, &cause) && out.commit())
        return true;
    if (cause.isEmpty())
        cause = out.errorString();
    if (error)
        *error = QStringLiteral("Impossibile copiare il file %1 in %2: %3")
                     .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(destination), cause);
    return false;
}

// ---------------------------------------------------------------------------------------------
// FileReplacement

FileReplacement::FileReplacement(const QString& path)
    : m_path(path)
{
}

FileReplacement::~FileReplacement() = default;

bool FileReplacement::write(const QByteArray& bytes)
{
    m_written = false;
    m_previous.reset();
    FileBeside::removeLeftovers(m_path);
    QString cause;
    if (QFileInfo::exists(m_path)) {
        // The copy is made before the file is touched: a disk without room for it refuses the
        // whole write.
        m_previous = std::make_unique<FileBeside>(m_path);
        if (!copyInto(m_path, *m_previous, &cause)) {
            m_previous.reset();
            m_error = writeError(m_path, cause);
            return false;
        }
    }
    if (!replaceThroughFileBeside(m_path, bytes, &cause)) {
        m_previous.reset();
        m_error = writeError(m_path, cause);
        return false;
    }
    m_written = true;
    return true;
}

bool FileReplacement::undo()
{
    if (!m_written)
        return true;
    const bool back
        = m_previous ? m_previous->commit() : (::unlink(nativeName(m_path).constData()) == 0 || errno == ENOENT);
    if (!back) {
        m_error
            = QStringLiteral("Impossibile ripristinare il file %1: %2")
                  .arg(QDir::toNativeSeparators(m_path), m_previous ? m_previous->errorString() : systemCause(errno));
        return false;
    }
    m_written = false;
    m_previous.reset();
    return true;
}

void setFileWriteFaultForTests(std::function<bool(const QString&)> fails)
{
    writeFault() = std::move(fails);
}

void setFileSyncFaultForTests(std::function<bool(const QString&)> fails)
{
    syncFault() = std::move(fails);
}

} // namespace quad
