#pragma once

#include "database.h"
#include "entry_store.h"
#include "numbering.h"
#include "recordset.h"

#include <QDate>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

namespace quad {

class IssuingLock;

/// The rule the data-control events apply to a modified flag: an added or first-changed record
/// marks it (unless the change failed: the event is then unwanted), any other change clears it,
/// except a deletion when deleteMarks.
void followChange(bool& flag, ChangeReason reason, EventStatus* status, bool deleteMarks);

/// What the clerk is told when the key in use no longer opens the archive (changed at another
/// station) and no key that does was given: one wording for every step that gave up for it.
QString keyRefusedText();
/// Why result failed, as the clerk is told: keyRefusedText() for a key that no longer opens the
/// archive, else the result's own message.
QString causeText(const DbResult& result);

/// The question asked before a new entry whose number another station stored meanwhile is
/// stored under the next free number offered.
QString renumberQuestion(qint64 taken, qint64 offered);

/// Asks whether the new entry being typed, whose number taken another station stored meanwhile,
/// is to be stored under offered, the next free number: true stores it so.
using RenumberQuestion = std::function<bool(qint64 taken, qint64 offered)>;

/// The warning shown when the register could not be read again after a write.
QString rereadFailedText(const DbResult& result);

/// Lets tests run work (another station's commit, say) in a read back of one entry, between the
/// check that no other station wrote since the register was read and the read itself. Null: no
/// work.
void setReadBackGapForTests(std::function<void()> work);

/// Where an entry session finds the archive and the two recordsets the mask shows. The open
/// register supplies them from its data sources; tests supply plain recordsets.
class EntrySources
{
public:
    virtual ~EntrySources() = default;
    /// The connection to the archive in use, or null with the cause in *error.
    virtual std::shared_ptr<Connection> archive(DbResult* error) = 0;
    /// The register (entrata joined with Mittenti); null or closed when no register is open.
    virtual std::shared_ptr<Recordset> registerRows() = 0;
    /// The correspondent rows of the entry shown.
    virtual std::shared_ptr<Recordset> correspondents() = 0;
    /// Reads the correspondent rows stored under number, in the direction of the register's
    /// current record, into correspondents().
    virtual void loadCorrespondents(qint64 number) = 0;
    /// The data folder of the archive in use (where the issuing lock lives).
    virtual QString dataFolder() = 0;
    /// Called when the key in use no longer opens the archive (changed at another station): asks
    /// for the one that does. True when archive(), registerRows() and correspondents() read and
    /// write with it from now on; false, changing nothing, when none was given.
    virtual bool renewArchiveKey() { return false; }

    /// Runs work, a read or a write of the archive in use; when it meets a key that no longer
    /// opens the archive, asks for the one that does (renewArchiveKey) and runs it again with it.
    /// Returns what the last run gave: DbError::WrongKey when no such key was given.
    DbResult withArchiveKey(const std::function<DbResult()>& work);
};

/// The texts the completeness test reads, as the mask shows them: the registration date (box 2,
/// judged without trimming), the document type (3), the subject (7) and the correspondent's
/// name (8).
struct TypedEntry
{
    QString data;
    QString tipoDocumento;
    QString oggetto;
    QString nominativo;
};

/// What a step of the session ended with. message, when not empty, is the text to show the
/// clerk (a warning), complete with its cause.
struct SessionResult
{
    enum class Outcome {
        Done, ///< the step went through
        Incomplete, ///< a required field is empty: nothing written
        Failed ///< the archive refused: nothing lost, the entry stays as typed
    };
    Outcome outcome = Outcome::Done;
    QString message;
    /// A warning to show after a step that went through (the lock file could not be removed,
    /// orphaned rows could not be deleted).
    QString notice;
    /// Something was written: the register must be read again to show it.
    bool written = false;
    /// The key in use no longer opens the archive and no key that does was given: the step read
    /// nothing (a drop still gave the entry up, and emptied its correspondents).
    bool keyRefused = false;

    bool ok() const { return outcome == Outcome::Done; }
};

/// The life of one register entry, without widgets: browsing registered entries, the changes
/// made to the one shown (its note, link, annulment and correspondent rows) and their save, and
/// a new entry from the issuing lock and its number to its confirmation or drop.
///
/// The session works on the recordsets its sources give: a new entry is a pending record of the
/// register and pending correspondent rows, written in one transaction at the confirmation; a
/// drop writes nothing. The issuing lock is held from the allocation of the number to the end of
/// the confirmation or drop; a failed commit keeps the entry, its number and the lock.
///
/// When the read of a new entry's number, a confirmation, a drop, a save, the read of the register
/// after it or a subject correction finds that the key in use no longer opens the archive, the
/// sources are asked for the one that does (EntrySources::withArchiveKey) and the step is done
/// again with it, on the entry as it stands.
class EntrySession
{
public:
    enum class State {
        Browsing, ///< a registered entry (or none) is shown, unchanged
        Modified, ///< the registered entry shown has changes not yet written
        Inserting ///< a new entry is typed under the issuing lock
    };

    explicit EntrySession(EntrySources& sources);
    ~EntrySession();
    EntrySession(const EntrySession&) = delete;
    EntrySession& operator=(const EntrySession&) = delete;

    State state() const;

    // --- read-only views for the windows ---------------------------------------------------
    /// A new entry is being typed.
    bool p_new_ins() const { return m_inserting; }
    /// The entry shown is registered (not being typed).
    bool p_locked() const { return !m_inserting; }
    /// The register record shown has unsaved changes.
    bool p_update() const { return m_recordChanged; }
    /// The correspondent rows shown have unsaved changes.
    bool p_update_mittenti() const { return m_rowsChanged; }
    /// The session is moving the register itself: the move events stay quiet.
    bool p_stop() const { return m_quiet > 0; }
    /// Date of the last entry when the new one was allocated (the lower bound of its date).
    QDate p_ultima_data() const { return m_lastDate; }
    /// The number of the new entry being typed (0 when none).
    qint64 number() const { return m_inserting ? m_number : 0; }

    /// Keeps the move events of the register quiet for its lifetime.
    class QuietMoves
    {
    public:
        explicit QuietMoves(EntrySession& session)
            : m_session(session)
        {
            ++m_session.m_quiet;
        }
        ~QuietMoves() { --m_session.m_quiet; }
        QuietMoves(const QuietMoves&) = delete;
        QuietMoves& operator=(const QuietMoves&) = delete;

    private:
        EntrySession& m_session;
    };

    // --- changes reported by the recordsets ------------------------------------------------
    /// A record of the register was added or changed (its first change), or left.
    void registerChanged(ChangeReason reason, EventStatus* status);
    /// A correspondent row was added or changed, or left.
    void correspondentsChanged(ChangeReason reason, EventStatus* status);
    /// The change made to the current register record is taken care of by whoever wrote it
    /// (a routine that wrote a field of the entry itself): no save is asked for it.
    void clearRecordModified() { m_recordChanged = false; }
    /// Remembers the changeable fields of the entry just shown, as the archive gave them, so
    /// that a save writes only what the clerk changed.
    void rememberLoaded();

    // --- a new entry -------------------------------------------------------------------------
    /// Takes the issuing lock and allocates the next number; on an empty register askStartNumber
    /// gives the start number. On Allocated the register holds the pending new record for
    /// p_sessione ("Entrata" or "Uscita") dated now, and the correspondents one pending row;
    /// rows left under the number by an entry never completed are taken out of the list.
    /// requery reads the register again first (a register shared on a network).
    /// On any other outcome nothing changed and no lock of this station is left (ReadFailed with
    /// DbError::WrongKey also when no key that opens the archive was given).
    Allocation begin(const QString& p_sessione, const std::function<std::optional<QString>()>& askStartNumber,
                     bool requery);
    /// Writes the new entry and its rows in one transaction and stands on it. Incomplete and
    /// Failed keep everything as typed, the number and the lock (also when no key that opens the
    /// archive was given).
    ///
    /// A number another station stored meanwhile (its lock removed by hand while the entry was
    /// typed) is refused as any failure without askRenumber. With it, the issuing lock is made
    /// sure of (taken again when it was removed) and the next number read under it is offered:
    /// answered yes, the entry and its rows take that number and are written under it; answered
    /// no, Failed without a message, the entry keeping its number. A lock another station holds
    /// now, a register at its last number or an archive that cannot be read offer nothing:
    /// Failed, with the reason, the entry kept as typed under its number.
    SessionResult confirm(const TypedEntry& typed, const RenumberQuestion& askRenumber = nullptr);
    /// Gives up the new entry: nothing is written, rows no entry owns under its number go, the
    /// register stands on its last record and the lock is released. When no key that opens the
    /// archive was given (keyRefused), the entry is given up all the same without touching the
    /// archive: the register is not read again, the correspondents are left empty and the notice
    /// says so.
    SessionResult drop();

    // --- a registered entry ------------------------------------------------------------------
    /// The completeness test of the entry shown.
    static bool isComplete(const TypedEntry& typed);
    /// Saves the changes of the registered entry shown: of its record only Note, Collegamento,
    /// Annullato and Nota_annulla, then its correspondent rows (a blank last row is dropped when
    /// there are others). An incomplete entry is refused and its changes are given up (the
    /// register shows what the archive holds again). Failed keeps the changes pending. A field
    /// of the record that another station changed too since the entry was shown is not written:
    /// the rest is, the register is read again, the entry keeps the clerk's value of that field
    /// (still to be saved: the next save writes it over the other station's) and the outcome is
    /// Failed, with a message naming both values, also when the write of the rows then fails
    /// (the message tells both; the rows stay pending and written is false, the record having
    /// been read again all the same). A new entry is never written from here (Done, nothing
    /// written).
    SessionResult save(const TypedEntry& typed);
    /// The check made before the register moves away from the entry shown: an incomplete
    /// changed entry stops the move (Incomplete, nothing given up), a changed one is saved.
    SessionResult saveBeforeMove(const TypedEntry& typed);
    /// Leaving the register: with pending changes askSave decides (true: save them; false: give
    /// them up). Incomplete and Failed keep the register open with the changes pending.
    SessionResult leave(const TypedEntry& typed, const std::function<bool()>& askSave);
    /// The subject stored now for entry number into *subject (left as it was when the entry is
    /// not in the archive): a correction starts from it. Failed, with the message to show
    /// (keyRefused when no key that opens the archive was given).
    SessionResult storedSubject(qint64 number, QVariant* subject);
    /// Writes subject as the Oggetto of the stored entry number (salva_oggetto), whatever is
    /// pending in the register, which is not read again here. With from (the stored subject the
    /// correction started from), a subject another station changed since is left as it is:
    /// Failed, writing nothing, with both values in the message. Failed, writing nothing, with the
    /// message to show also when the archive refused (keyRefused when no key that opens the
    /// archive was given).
    SessionResult correctSubject(qint64 number, const QString& subject, const QVariant* from = nullptr);
    /// Marks the entry shown as annulled with reason (kept as typed), to be written by the next
    /// save. An entry is annulled once: the archive is read first, and an entry annulled already,
    /// on screen or in the archive, keeps its reason. Failed, with the message to show:
    /// - the entry shown is annulled already: nothing changes;
    /// - another station annulled it: the entry shown takes the stored annulment and its reason,
    ///   which the message names, and no other (the next save writes nothing of it);
    /// - the archive cannot be read (keyRefused when no key that opens it was given), or holds
    ///   no such entry, or the register refuses the reason: nothing changes.
    /// Failed without a message, changing nothing, when the reason is blank or no entry is shown.
    SessionResult annul(const QString& reason);
    /// The check made before the clerk is asked about an annulment: reads the annulment of the
    /// entry shown from the archive. Done, changing nothing, when it is not annulled; otherwise
    /// Failed as annul() is, the entry shown taking an annulment made at another station with its
    /// reason.
    SessionResult checkNotAnnulled();
    /// Reads the register again after a write, keeping its filter and order, and stands on the
    /// entry numbered number (the same row when it still shows it). onlyEntry: this station wrote
    /// only that entry, so its rows alone are read back, unless another station wrote the archive
    /// since the register was read (then the whole register is read, as without onlyEntry). A
    /// read that fails keeps the register as shown (filter and order included) and returns why;
    /// a filter or order that cannot be put back is returned too, and the register then shows
    /// every row (hasFilter() tells).
    [[nodiscard]] DbResult reread(qint64 number, bool onlyEntry = false);

    /// True when the correspondents hold changes not written yet (whatever was reported).
    bool rowsPending() const;
    /// True when the last correspondent row is blank (the current row does not move).
    bool lastCorrespondentBlank() const;

private:
    SessionResult releaseLock();
    /// The entry being typed as the register and the correspondents hold it.
    NewEntry typedNewEntry() const;
    /// After the number of the entry being typed was found stored by another station: the next
    /// number, read under the issuing lock (taken again when it was removed), offered by ask.
    /// Done when the entry took it (its rows take it when they are written with it) or when its
    /// own number is free again; Failed (without a message when the clerk said no) otherwise.
    SessionResult offerNextNumber(const RenumberQuestion& ask);
    /// Writes the record's changeable fields; the fields another station changed too meanwhile
    /// are left unwritten and go to *conflicts.
    SessionResult saveRecord(QList<FieldConflict>* conflicts);
    SessionResult saveRows();
    /// annul() with reason, or checkNotAnnulled() without.
    SessionResult markAnnulled(const QString* reason);
    /// EntrySources::withArchiveKey for a write on the archive in use.
    DbResult onArchive(const std::function<DbResult(Connection& archive)>& write);
    /// Throws the pending rows away and, when read, reads the rows of entry number back (the
    /// whole register when that fails); stands on that entry when onEntry and it is found, else
    /// on the last record.
    void discardAndFind(qint64 number, bool onEntry, bool read = true);
    /// The register brought up to date after this station wrote (see reread()); *entryOnly tells
    /// whether the rows of entry number alone were read back (every other row, and the current
    /// record, stay) rather than every row.
    static DbResult readBack(Recordset& rs, qint64 number, bool onlyEntry, bool* entryOnly = nullptr);

    EntrySources& m_sources;
    std::shared_ptr<IssuingLock> m_lock;
    bool m_inserting = false;
    bool m_recordChanged = false;
    bool m_rowsChanged = false;
    int m_quiet = 0;
    qint64 m_number = 0;
    QDate m_lastDate;
    qint64 m_loadedNumber = 0; ///< the entry whose loaded values are kept (0: none)
    QVariantList m_loadedValues; ///< its Note, Collegamento, Annullato, Nota_annulla
};

} // namespace quad
