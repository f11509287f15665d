#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <functional>
#include <memory>

namespace quad {

/// The permissions the process's umask gives a file it creates: read and write for everyone, less
/// what the umask takes away. Files other stations read from shared folders (settings, back-ups,
/// notifications) are given them instead of the owner-only mode of a temporary file.
QFileDevice::Permissions newFilePermissions();

/// An exclusive lock on an existing file, taken without waiting and held while the object lives.
/// It tells a file some living program is working on (a FileBeside holds one on its file) from
/// one that a program killed half-way left behind.
class FileLock
{
public:
    explicit FileLock(const QString& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    /// False when the file is missing or another living program holds it.
    bool held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

/// A new file beside target, under a name only such files have: the target's name, a dot, six
/// letters or digits and ".tmp" ("imposta.ini.k3P0aZ.tmp"). It is created exclusively (never an
/// existing file), with the mode a new file gets, and stays locked while the object lives, so
/// that removeLeftovers() never takes a file still being written. Unless commit() put it in
/// target's place, the file (and a database journal beside it) is removed when the object goes.
class FileBeside
{
public:
    explicit FileBeside(const QString& target);
    ~FileBeside();
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    /// False when the file could not be made; errorString() says why.
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    /// The last failure: what was being done and the system's own cause.
    QString errorString() const { return m_error; }

    /// Appends bytes; false as soon as the disk refuses any of them.
    bool write(const QByteArray& bytes);
    /// Gives the file the permission bits of mode (st_mode of another file).
    bool setMode(unsigned mode);
    /// Makes the file whole on disk, then renames it over target in one step. False, with the
    /// file removed later and target as it was, when either fails. The lock is kept until the
    /// object goes.
    bool commit();
    /// Makes the file whole on disk, then gives it the name path (in the same folder) in one step,
    /// never replacing a file of that name. False when a file has that name or the rename fails:
    /// the file stays under its own name (removed when the object goes) and may be placed again.
    /// The lock is kept until the object goes.
    bool commitAs(const QString& path);

    /// Removes the files "<target's name>.XXXXXX.tmp" (and their journals) beside target that no
    /// living FileBeside holds: what a program killed while writing target left. Any other file,
    /// and any folder, is left alone.
    static void removeLeftovers(const QString& target);

private:
    bool fail(const QString& what);
    /// Flushes the file, then gives it the name path, over a file of that name when replacing.
    bool place(const QString& path, bool replacing);

    QString m_target;
    QString m_path;
    QString m_error;
    int m_fd = -1;
    bool m_committed = false;
};

/// Replaces the file at path with bytes in one step: the bytes go to a FileBeside, which takes
/// the file's place only once it is whole on disk. On any failure (a full disk, no rights, a
/// folder that is not there) the old file stays exactly as it was, no temporary file is left,
/// and false comes back with the system's cause in *error. A missing file is created with the
/// mode a new file gets; an existing one keeps its mode. Leftovers of an earlier replacement
/// killed half-way are removed first.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

/// Copies source to destination byte for byte, through a FileBeside renamed over destination
/// once whole: a failure leaves an older destination as it was and no temporary file. The copy
/// keeps the source's mode.
bool copyFileBytes(const QString& source, const QString& destination, QString* error = nullptr);

/// A replacement of the file at path that can be taken back. write() replaces the file as
/// replaceFile() does, once a copy of the file that was there waits beside it in a FileBeside;
/// undo() puts that copy back in one step, or removes the new file when there was none. The copy
/// goes with the object (what a program killed meanwhile leaves, the next replacement of path
/// removes).
class FileReplacement
{
public:
    explicit FileReplacement(const QString& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    /// False when the copy or the replacement fails: the file stays as it was and
    /// errorString() says why.
    bool write(const QByteArray& bytes);
    /// After a write() that succeeded, the file as it was before it (none when there was none).
    /// False, with errorString(), when it cannot be put back.
    bool undo();
    QString errorString() const { return m_error; }

private:
    QString m_path;
    std::unique_ptr<FileBeside> m_previous;
    bool m_written = false;
    QString m_error;
};

/// Lets tests make the writes of replaceFile() and copyFileBytes() fail part way through, as a
/// full disk does, for the paths fails() picks. Null restores normal working.
void setFileWriteFaultForTests(std::function<bool(const QString& path)> fails);

/// Lets tests make the flush to disk that comes before a FileBeside takes its target's place fail,
/// as a failing disk does, for the targets fails() picks. Null restores normal working.
void setFileSyncFaultForTests(std::function<bool(const QString& path)> fails);

} // namespace quad
