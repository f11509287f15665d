#pragma once

#include "data_source.h"
#include "entry_session.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace quad {

/// What OpenRegister::open() ended with.
struct OpenResult
{
    enum class Failure {
        None, ///< the register is open
        Register, ///< the register could not be read: its error signal has told why
        AddressBook ///< the settings database, which holds the address book, could not be opened
    };
    Failure failure = Failure::None;
    DbResult result; ///< the cause, when the register did not open

    bool ok() const { return failure == Failure::None; }
};

/// The register open in the main window, without widgets: its three data sources (the register,
/// entrata joined with Mittenti; the correspondents of the entry shown; the address book), the
/// life of the entry shown (EntrySession) and what is done to the register as a whole (its count,
/// its filter, reading it again). The windows show it and hand it the clerk's requests; it tells
/// them through its signals when the entry shown, the filter or the rows change.
class OpenRegister : public QObject, public EntrySources
{
    Q_OBJECT
public:
    /// dataFolder gives the data folder of the archive in use (where the issuing lock lives).
    explicit OpenRegister(std::function<QString()> dataFolder, QObject* parent = nullptr);
    ~OpenRegister() override;

    DataSource& registerSource() { return m_register; }
    DataSource& correspondentSource() { return m_correspondents; }
    DataSource& addressBookSource() { return m_addressBook; }
    /// The life of the entry shown, to read: what is done to it goes through the operations below.
    const EntrySession& session() const { return *m_session; }

    /// Opens the register of archiveFile read with key: the register (every entry with its
    /// correspondents) is read, an archive made before them is given the indexes the register's
    /// reads go through, the correspondents follow the same archive, and the address book is
    /// connected to the settings database settingsDatabase (read when first shown). Every step is
    /// done before the register counts as open: on a failure nothing is left set up (close()).
    /// A register that cannot be read has told why through the register's error signal, as every
    /// read of it does.
    OpenResult open(const QString& archiveFile, const QString& key, const QString& settingsDatabase);

    /// Records in the register (0 when it is not open).
    int count() const;
    /// True when the register is open and stands on a record.
    bool onEntry() const;
    /// The number of the entry shown, or 0.
    qint64 currentNumber() const;
    /// The direction ("E" or "U") of the entry shown, or "" when it stands on none.
    QString currentDirection() const;
    /// Whether the entry shown is still entry number, on which an action began before a dialog or
    /// a question let the register move; failed, with what to tell the clerk, when it is not: the
    /// action (what, as "annullamento") is then not done.
    SessionResult checkStillOn(qint64 number, const QString& what) const;
    /// The connection string of the archive in use ("" when no register is open).
    QString connectionString() const { return m_register.ConnectionString(); }
    /// The archive file in use and the key it is read with ("" when no register is open).
    QString archiveFile() const;
    QString archiveKey() const;

    /// Reads the correspondent rows of entry number, in the direction of the register's current
    /// record ("U" when it stands on none), into the correspondents' source. The cause of a failed
    /// read is returned; the error signal of the source has been emitted.
    DbResult loadCorrespondentRows(qint64 number);

    /// Reads the correspondent rows of the entry shown (loadCorrespondentRows). Nothing when the
    /// register stands on no entry or on a record without a number, or when the correspondents'
    /// source has no archive yet: the rows loaded stay. Every move of the register but the
    /// session's own does it.
    void loadEntryCorrespondents();

    /// Sets criterion as the register's filter. A criterion the register refuses changes nothing
    /// and is returned.
    DbResult setFilter(const QString& criterion);
    /// Drops the register's filter. Nothing else is done (the caller reads the register again).
    void dropFilter();
    /// True when the register shows only the rows of a filter.
    bool hasFilter() const;

    /// Reads the register again after a write and stands on entry number (see
    /// EntrySession::reread). A read that fails keeps the register as shown and returns why.
    [[nodiscard]] DbResult reread(qint64 number, bool onlyEntry = false);

    // --- the clerk's requests; the windows show what they return ------------------------------
    /// What the completeness test reads of the entry shown, as its boxes show it: the
    /// registration date, the document type and the subject of the register's current record,
    /// the name of the correspondent row shown.
    TypedEntry typedEntry() const;
    /// A new entry of the register given by direction ("Entrata" or "Uscita"), always made on the
    /// whole register: a filter is dropped with the register read again first (RegisterUnread,
    /// nothing begun and the register as shown, filter included, when that read fails). Then as
    /// EntrySession::begin.
    Allocation newEntry(const QString& direction, const std::function<std::optional<QString>()>& askStartNumber,
                        bool requery);
    /// Writes the new entry being typed and its rows (EntrySession::confirm); askRenumber is
    /// asked whether a number stored meanwhile by another station gives way to the next one.
    SessionResult confirmEntry(const RenumberQuestion& askRenumber = nullptr);
    /// Gives up the new entry being typed (EntrySession::drop).
    SessionResult dropEntry();
    /// Saves the changes of the registered entry shown (EntrySession::save).
    SessionResult saveEntry();
    /// Moves the register (0 first, 1 previous, 2 next, 3 last) once the entry shown, when
    /// changed, is saved (EntrySession::saveBeforeMove): an incomplete changed entry, one that
    /// could not be saved, or a key changed at another station and not given (archiveKeyRefused),
    /// keeps the register where it is.
    SessionResult moveTo(int direction);
    /// Leaving the register: pending changes are saved or given up as askSave decides
    /// (EntrySession::leave). Incomplete and Failed keep the register open, changes pending.
    SessionResult leave(const std::function<bool()>& askSave);
    /// Reads the whole register again (a filter is dropped). A read that fails keeps the rows
    /// shown (and the filter) and returns why; the register's error signal has told it, or
    /// archiveKeyRefused.
    DbResult readAgain();

    /// Reads the archive in use with key from now on, when key opens it: the register's and the
    /// correspondents' sources take it, and so do their recordsets, which keep their rows and
    /// pending changes (the next read of each reads the file whole); nothing is read again. A key
    /// that does not open the archive (DbError::WrongKey), or no register open, changes nothing
    /// and is returned.
    DbResult useArchiveKey(const QString& key);
    /// Reads the archive in use once, through the renewal of the key (withArchiveKey): work that
    /// reads it on a connection of its own asks here for a key changed at another station.
    /// DbError::WrongKey when no key that opens it was given; nothing is told.
    DbResult proveArchiveKey();
    /// What is called when a read or a write of the register (its rows, the correspondents, the
    /// session's steps) meets a key that no longer opens the archive: ask gives true once a key
    /// that opens it is in use (useArchiveKey), and the read or write is done again with it.
    /// Unset: nothing is asked.
    void setArchiveKeyRequest(std::function<bool()> ask) { m_askKey = std::move(ask); }

    /// The subject stored now for entry number (EntrySession::storedSubject).
    SessionResult storedSubject(qint64 number, QVariant* subject);
    /// Writes subject as the subject of the stored entry number, unless another station changed
    /// it since it was from (EntrySession::correctSubject).
    SessionResult correctSubject(qint64 number, const QString& subject, const QVariant* from = nullptr);
    /// Marks the entry shown as annulled with reason (EntrySession::annul), to be written by the
    /// next save; an entry annulled already, here or at another station, keeps its reason.
    SessionResult annul(const QString& reason);
    /// Before the clerk is asked about an annulment: an entry annulled meanwhile at another
    /// station takes that annulment and is told (EntrySession::checkNotAnnulled).
    SessionResult checkNotAnnulled();
    /// The change made to the entry shown was written by whoever made it (a subject correction, a
    /// folder link, the delivery stamps, an import): no save is asked for it
    /// (EntrySession::clearRecordModified).
    void markEntryWritten();
    /// Adds a correspondent row to the entry shown (the register's current record) and stands on
    /// it: the row the correspondents stand on, when its street has no house number, gets "snc"
    /// (fillMissingHouseNumber), then an empty row of the entry's number and direction is added
    /// (newCorrespondent). A value the rows refuse is returned (the first one); the row is added
    /// all the same unless the refusal came at the new row itself. Nothing without an entry shown.
    DbResult addCorrespondent();

    /// Empties the three sources: no register is open.
    void close();

    // --- EntrySources ------------------------------------------------------------------------
    std::shared_ptr<Connection> archive(DbResult* error) override;
    std::shared_ptr<Recordset> registerRows() override;
    std::shared_ptr<Recordset> correspondents() override;
    void loadCorrespondents(qint64 number) override;
    QString dataFolder() override;
    bool renewArchiveKey() override;

signals:
    /// The register stands on another entry, whose correspondents were read (not while the
    /// session moves it itself).
    void currentEntryChanged();
    /// The correspondent rows of the entry shown were read, or could not be (result tells).
    void correspondentsLoaded(const quad::DbResult& result);
    /// The register's filter was set or dropped, or lost in a read.
    void filterChanged(bool filtered);
    /// The register's rows were read again.
    void rowsChanged();
    /// A read of the register or of the correspondents met a key that no longer opens the
    /// archive, and no key that does was given: the register stays as it was shown.
    void archiveKeyRefused();

private:
    /// Runs read, which reads the register's rows again, then tells of a filter lost in it and of
    /// the rows read; returns what read returned.
    DbResult readRows(const std::function<DbResult()>& read);
    /// Runs read through the renewal of the key (withArchiveKey); tells archiveKeyRefused when it
    /// ends with a key that does not open the archive.
    DbResult readWithKey(const std::function<DbResult()>& read);
    /// One read of the archive in use with the key in use (the shared connection proved).
    DbResult readArchiveOnce();

    std::function<QString()> m_dataFolder;
    std::function<bool()> m_askKey;
    DataSource m_register;
    DataSource m_correspondents;
    DataSource m_addressBook;
    std::unique_ptr<EntrySession> m_session;
};

} // namespace quad
