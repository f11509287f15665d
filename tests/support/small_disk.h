#pragma once

#include <QString>

namespace quad::test {

/// A real file system of a few kilobytes (a tmpfs) mounted on a temporary folder for the object's
/// life, so that a test can fill it and see what a genuinely full disk does to a write: errors
/// that come only when buffered data reaches the disk, at a flush or a close. Mounting needs root
/// (as the CI runs); elsewhere available() is false and why() says why, and the test skips:
///
///     SmallDisk disk;
///     if (!disk.available())
///         GTEST_SKIP() << qPrintable(disk.why());
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes = 64 * 1024);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const { return m_mounted; }
    QString why() const { return m_why; }
    /// The mounted folder (empty when not available).
    QString path() const { return m_mounted ? m_dir : QString(); }
    QString filePath(const QString& name) const;

    /// Takes every free byte but about leave with a filler file; true when the disk then has at
    /// most leave bytes free.
    bool fill(qint64 leave = 0);
    /// Removes the filler: the space is free again.
    void release();
    /// Bytes still free on the disk.
    qint64 freeBytes() const;

private:
    QString m_dir;
    QString m_why;
    bool m_mounted = false;
};

} // namespace quad::test
