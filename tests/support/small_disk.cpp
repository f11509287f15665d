#include "small_disk.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUuid>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace quad::test {

namespace {

const char* const kFiller = "riempitivo.bin";

} // namespace

SmallDisk::SmallDisk(qint64 bytes)
{
    m_dir = QDir::temp().filePath(QStringLiteral("quad_small_disk_") + QUuid::createUuid().toString(QUuid::Id128));
    if (!QDir().mkpath(m_dir)) {
        m_why = QStringLiteral("cannot make the folder %1").arg(m_dir);
        return;
    }
    if (geteuid() != 0) {
        m_why = QStringLiteral("mounting a small file system needs root; skipped");
        QDir().rmdir(m_dir);
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
    if (::mount("tmpfs", QFile::encodeName(m_dir).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData())
        != 0) {
        m_why = QStringLiteral("cannot mount a tmpfs (%1); skipped").arg(QString::fromLocal8Bit(std::strerror(errno)));
        QDir().rmdir(m_dir);
        return;
    }
    m_mounted = true;
}

SmallDisk::~SmallDisk()
{
    if (!m_mounted)
        return;
    ::umount2(QFile::encodeName(m_dir).constData(), MNT_DETACH);
    QDir().rmdir(m_dir);
}

QString SmallDisk::filePath(const QString& name) const
{
    return QDir(path()).filePath(name);
}

qint64 SmallDisk::freeBytes() const
{
    struct statvfs info
    {
    };
    if (!m_mounted || ::statvfs(QFile::encodeName(m_dir).constData(), &info) != 0)
        return 0;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

bool SmallDisk::fill(qint64 leave)
{
    if (!m_mounted)
        return false;
    const int fd
        = ::open(QFile::encodeName(filePath(QLatin1String(kFiller))).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return false;
    // Whole pages first, then single bytes, until the disk refuses or only leave bytes are free.
    char block[4096] = {};
    for (qint64 chunk : {qint64(sizeof block), qint64(1)}) {
        while (freeBytes() > leave) {
            const qint64 want = std::min(chunk, freeBytes() - leave);
            if (::write(fd, block, size_t(want)) <= 0)
                break;
        }
    }
    ::close(fd);
    return freeBytes() <= leave;
}

void SmallDisk::release()
{
    QFile::remove(filePath(QLatin1String(kFiller)));
}

} // namespace quad::test
