#pragma once

#include <QString>

namespace quad {

/// How an attempt to take the issuing lock ended.
enum class LockStatus {
    Taken, ///< this station created the lock file and holds it
    HeldByOther, ///< a lock file is already there: another station is issuing a number
    CannotCreate ///< no lock file is there but none could be created (missing folder, no rights, full disk)
};

struct LockResult
{
    LockStatus status = LockStatus::CannotCreate;
    QString message; ///< why the lock could not be created (CannotCreate only)

    bool ok() const { return status == LockStatus::Taken; }
};

/// The issuing lock "emissione.txt" in an archive's data folder. While a station holds it, no
/// other station allocates a register number. Its presence alone is the lock; it holds the five
/// bytes "...\r\n".
///
/// The file is created with an exclusive create, so of two stations trying at the same instant
/// exactly one succeeds. A lock file left by a station that stopped while issuing stays until
/// someone removes it; this class never removes a file it did not create.
class IssuingLock
{
public:
    /// The lock of the archive in dataFolder. Nothing is touched until acquire().
    explicit IssuingLock(const QString& dataFolder);
    /// Releases the lock if it is still held.
    ~IssuingLock();
    IssuingLock(const IssuingLock&) = delete;
    IssuingLock& operator=(const IssuingLock&) = delete;

    /// The lock file this object creates (data folder + "emissione.txt").
    QString path() const { return m_path; }

    /// Creates the lock file. HeldByOther when a lock file is present under any case of its name
    /// (the existing file is left untouched); CannotCreate with the cause when the file cannot be
    /// created or written (a file this call created but could not write is removed again).
    /// Calling it while this object holds the lock returns Taken and changes nothing; when its
    /// lock file was removed meanwhile (by hand, from another station) the lock is taken again as
    /// if it had never been held (HeldByOther when another station holds it now).
    LockResult acquire();

    /// Removes the lock file if this object created it and the file is still the one it created
    /// (a lock removed by hand and taken since by another station is left alone). Returns false,
    /// with the cause in *error, only when the own lock file could not be removed: the lock is
    /// then still held. Releasing a lock that is not held does nothing and returns true.
    bool release(QString* error = nullptr);

    /// True while this object holds the lock.
    bool isHeld() const { return m_held; }

    /// True when a lock file (any case of its name) is present in dataFolder.
    static bool isPresent(const QString& dataFolder);

    /// The exact content of a lock file.
    static const char* content() { return "...\r\n"; }

private:
    bool stillOurs() const;

    QString m_folder;
    QString m_path;
    bool m_held = false;
    /// Device, inode and change time of the file this object created.
    struct Identity
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 changeSec = 0;
        qint64 changeNsec = 0;
        bool operator==(const Identity& o) const
        {
            return device == o.device && inode == o.inode && changeSec == o.changeSec && changeNsec == o.changeNsec;
        }
    };
    Identity m_identity;
};

} // namespace quad
