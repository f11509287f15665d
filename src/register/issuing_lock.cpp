#include "issuing_lock.h"

#include "file_lookup.h"
#include "program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quad {

namespace {

template <typename Identity> bool fileIdentity(const QString& path, Identity* identity)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    identity->device = static_cast<quint64>(info.st_dev);
    identity->inode = static_cast<quint64>(info.st_ino);
    // Inode numbers are reused at once on many file systems; the change time tells a new file apart.
    identity->changeSec = static_cast<qint64>(info.st_ctim.tv_sec);
    identity->changeNsec = static_cast<qint64>(info.st_ctim.tv_nsec);
    return true;
}

bool entryPresent(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

IssuingLock::IssuingLock(const QString& dataFolder)
    : m_folder(dataFolder)
    , m_path(QDir(dataFolder).filePath(QLatin1String(kLockFile)))
{
}

IssuingLock::~IssuingLock()
{
    release();
}

bool IssuingLock::isPresent(const QString& dataFolder)
{
    return !findEntryNoCase(dataFolder, QLatin1String(kLockFile)).isNull();
}

LockResult IssuingLock::acquire()
{
    if (m_held && stillOurs())
        return {LockStatus::Taken, QString()};
    // A lock file removed by hand (and perhaps taken since by another station) is ours no more.
    m_held = false;
    if (!QFileInfo(m_folder).isDir())
        return {LockStatus::CannotCreate, QStringLiteral("La cartella %1 non esiste.").arg(m_folder)};
    // A lock written under another case of the name by another station counts as well.
    if (isPresent(m_folder))
        return {LockStatus::HeldByOther, QString()};

    // The exclusive create itself says whether another station was first: the file it found may
    // already be gone again by the time anyone looks.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int cause = errno;
        if (cause == EEXIST || entryPresent(m_path))
            return {LockStatus::HeldByOther, QString()};
        return {LockStatus::CannotCreate,
                QStringLiteral("Impossibile creare il file %1: %2")
                    .arg(m_path, QString::fromLocal8Bit(std::strerror(cause)))};
    }
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        QFile::remove(m_path);
        return {LockStatus::CannotCreate, QStringLiteral("Impossibile scrivere il file %1.").arg(m_path)};
    }
    const QByteArray bytes(content());
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString cause = file.errorString();
    file.close();
    Identity identity;
    if (!written || file.error() != QFileDevice::NoError || !fileIdentity(m_path, &identity)) {
        QFile::remove(m_path);
        return {LockStatus::CannotCreate, QStringLiteral("Impossibile scrivere il file %1: %2").arg(m_path, cause)};
    }
    m_identity = identity;
    m_held = true;
    return {LockStatus::Taken, QString()};
}

bool IssuingLock::stillOurs() const
{
    Identity now;
    return fileIdentity(m_path, &now) && now == m_identity;
}

bool IssuingLock::release(QString* error)
{
    if (!m_held)
        return true;
    if (!stillOurs()) {
        // Removed by hand (and perhaps taken since by another station): nothing of ours is left.
        m_held = false;
        return true;
    }
    QFile file(m_path);
    if (!file.remove()) {
        if (error)
            *error = QStringLiteral("Impossibile eliminare il file %1: %2").arg(m_path, file.errorString());
        return false;
    }
    m_held = false;
    return true;
}

} // namespace quad
