#include "entry_session.h"

#include "annulment.h"
#include "clock.h"
#include "entry_store.h"
#include "field_text.h"
#include "issuing_lock.h"
#include "register_query.h"
#include "subject_correction.h"

#include <algorithm>

namespace quad {

namespace {

bool isOpen(const std::shared_ptr<Recordset>& rs)
{
    return rs && rs->isOpen();
}

bool onRecord(const std::shared_ptr<Recordset>& rs)
{
    return isOpen(rs) && !rs->bof() && !rs->eof();
}

/// The pending values of row of rs that belong to table (every table when empty; Null left out).
QVariantMap rowValues(const Recordset& rs, int row, const QString& table)
{
    QVariantMap values;
    for (int i = 0; i < rs.fieldCount(); ++i) {
        const FieldInfo& f = rs.field(i);
        if (!table.isEmpty() && f.table.compare(table, Qt::CaseInsensitive) != 0)
            continue;
        const QVariant v = rs.valueAt(row, i);
        if (v.isValid() && !v.isNull())
            values.insert(f.name, v);
    }
    return values;
}

std::function<void()>& readBackGap()
{
    static std::function<void()> work;
    return work;
}

SessionResult failed(const QString& text)
{
    SessionResult r;
    r.outcome = SessionResult::Outcome::Failed;
    r.message = text;
    return r;
}

/// A write the archive refused: what was not done, then why.
SessionResult failedWrite(const QString& what, const DbResult& result)
{
    SessionResult r = failed(what + QStringLiteral("\n\n") + causeText(result));
    r.keyRefused = result.code == DbError::WrongKey;
    return r;
}

/// A subject correction that could not be written, nor the subject it starts from read.
constexpr const char* kSubjectNotSavedText = "ATTENZIONE !\n\nCorrezione non salvata.";

SessionResult incomplete(const char* text)
{
    SessionResult r;
    r.outcome = SessionResult::Outcome::Incomplete;
    r.message = QString::fromUtf8(text);
    return r;
}

} // namespace

QString keyRefusedText()
{
    return QStringLiteral("La password della sessione non apre più l' archivio in uso.");
}

QString causeText(const DbResult& result)
{
    return result.code == DbError::WrongKey ? keyRefusedText() : result.message;
}

QString renumberQuestion(qint64 taken, qint64 offered)
{
    return numberTakenText(taken) + QStringLiteral("\n\nRegistro questo quadernolo con il numero %1 ?").arg(offered);
}

QString rereadFailedText(const DbResult& result)
{
    return QStringLiteral("ATTENZIONE !!\n\nImpossibile rileggere l' archivio.\n\n") + causeText(result);
}

void setReadBackGapForTests(std::function<void()> work)
{
    readBackGap() = std::move(work);
}

void followChange(bool& flag, ChangeReason reason, EventStatus* status, bool deleteMarks)
{
    const EventStatus s = status ? *status : EventStatus::OK;
    if (reason == ChangeReason::AddNew || reason == ChangeReason::FirstChange) {
        if (s == EventStatus::ErrorsOccurred && status)
            *status = EventStatus::UnwantedEvent;
        flag = s == EventStatus::OK;
    } else {
        if (s == EventStatus::ErrorsOccurred && status)
            *status = EventStatus::UnwantedEvent;
        flag = deleteMarks && reason == ChangeReason::Delete;
    }
}

EntrySession::EntrySession(EntrySources& sources)
    : m_sources(sources)
{
}

EntrySession::~EntrySession() = default;

EntrySession::State EntrySession::state() const
{
    if (m_inserting)
        return State::Inserting;
    return m_recordChanged || m_rowsChanged ? State::Modified : State::Browsing;
}

void EntrySession::registerChanged(ChangeReason reason, EventStatus* status)
{
    // Writing the batch ends a change without undoing it: the flag is cleared by the save.
    if (reason == ChangeReason::Update)
        return;
    followChange(m_recordChanged, reason, status, false);
}

void EntrySession::correspondentsChanged(ChangeReason reason, EventStatus* status)
{
    followChange(m_rowsChanged, reason, status, false);
}

void EntrySession::rememberLoaded()
{
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    // Values already changed on screen are not what the archive gave.
    if (!onRecord(rs) || rs->rowStatus() != RowStatus::Unmodified) {
        m_loadedNumber = 0;
        m_loadedValues.clear();
        return;
    }
    m_loadedNumber = rs->value(QStringLiteral("Progressivo")).toLongLong();
    m_loadedValues = {rs->value(QStringLiteral("Note")), rs->value(QStringLiteral("Collegamento")),
                      rs->value(QStringLiteral("Annullato")), rs->value(QStringLiteral("Nota_annulla"))};
}

bool EntrySession::isComplete(const TypedEntry& typed)
{
    return isEntryComplete(typed.data, typed.tipoDocumento, typed.oggetto, typed.nominativo);
}

bool EntrySession::rowsPending() const
{
    const std::shared_ptr<Recordset> rows = m_sources.correspondents();
    return isOpen(rows) && rows->hasPendingChanges();
}

bool EntrySession::lastCorrespondentBlank() const
{
    const std::shared_ptr<Recordset> rows = m_sources.correspondents();
    if (!isOpen(rows) || rows->recordCount() < 1)
        return true;
    QVariantMap last;
    for (const QString& name : correspondentFields()) {
        const int column = rows->fieldIndex(name);
        if (column >= 0)
            last.insert(name, rows->valueAt(rows->recordCount() - 1, column));
    }
    return isBlankCorrespondent(last);
}

// --- a new entry ---------------------------------------------------------------------------

Allocation EntrySession::begin(const QString& p_sessione, const std::function<std::optional<QString>()>& askStartNumber,
                               bool requery)
{
    Allocation allocation;
    if (m_inserting) {
        allocation.message = QStringLiteral("Un quadernolo è già in inserimento.");
        return allocation;
    }
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    if (!isOpen(rs)) {
        allocation.message = QStringLiteral("Archivio non aperto.");
        return allocation;
    }
    // A lock this station could not remove earlier is still its own.
    if (!m_lock || !m_lock->isHeld())
        m_lock = std::make_shared<IssuingLock>(m_sources.dataFolder());
    // The station counts as inserting while the start number is asked: nothing else may write to
    // the register meanwhile.
    m_inserting = true;
    // A key changed at another station shows at the read of the next number, which is read again
    // with the key that opens the archive once one is given.
    bool opened = false;
    const DbResult read = onArchive([&](Connection& archive) {
        opened = true;
        allocation = allocateNumber(archive, *m_lock, askStartNumber);
        return DbResult::failure(allocation.readError, allocation.message);
    });
    if (!allocation.ok()) {
        // An archive that did not open took no lock and read nothing: its cause is told.
        if (!opened) {
            allocation.message = read.message.isEmpty() ? QStringLiteral("Archivio non aperto.") : read.message;
            allocation.readError = read.code;
        }
        m_inserting = false;
        return allocation;
    }
    m_number = allocation.number;
    m_lastDate = allocation.lastDate;

    const NewEntry entry = makeNewEntry(allocation.number, p_sessione, Clock::currentDateTime());
    {
        QuietMoves quiet(*this);
        // With the register shared on a network it is read again, so that it shows what the other
        // stations registered; the number itself always comes from the archive file.
        if (requery)
            (void)m_sources.withArchiveKey([&rs] { return rs->requery(); });
        if (rs->recordCount() >= 1)
            rs->moveLast();
        rs->addNew();
        for (auto it = entry.record.cbegin(); it != entry.record.cend(); ++it) {
            // The register joins the correspondents, which have a "tipo" of their own.
            const QString field = it.key() == QLatin1String("Tipo") ? QStringLiteral("entrata.Tipo") : it.key();
            (void)rs->setValue(field, it.value());
        }
    }

    // The rows of the new number and direction. Rows left there by an entry that was never
    // completed are no correspondents of this one: they leave the list (and the archive, when the
    // entry is confirmed).
    m_sources.loadCorrespondents(allocation.number);
    const std::shared_ptr<Recordset> rows = m_sources.correspondents();
    if (isOpen(rows)) {
        while (rows->recordCount() > 0) {
            rows->moveFirst();
            if (!rows->deleteCurrent().ok())
                break;
        }
        rows->addNew();
        const QVariantMap& first = entry.correspondents.first();
        for (auto it = first.cbegin(); it != first.cend(); ++it)
            (void)rows->setValue(it.key(), it.value());
    }
    return allocation;
}

NewEntry EntrySession::typedNewEntry() const
{
    NewEntry entry;
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    if (onRecord(rs))
        entry.record = rowValues(*rs, rs->currentRow(), QStringLiteral("entrata"));
    const std::shared_ptr<Recordset> rows = m_sources.correspondents();
    if (isOpen(rows)) {
        for (int r = 0; r < rows->recordCount(); ++r)
            entry.correspondents.append(rowValues(*rows, r, QString()));
    }
    return entry;
}

SessionResult EntrySession::confirm(const TypedEntry& typed, const RenumberQuestion& askRenumber)
{
    if (!m_inserting)
        return {};
    if (!isComplete(typed))
        return incomplete(kIncompleteNewEntryText);

    NewEntry entry;
    for (;;) {
        entry = typedNewEntry();
        bool taken = false;
        const DbResult result = onArchive([&](Connection& db) { return EntryStore(db).commitNewEntry(entry, &taken); });
        if (result.ok())
            break;
        // Nothing was written: the entry stays as typed, and the number and the lock with it,
        // unless the clerk takes the next number for a number another station stored meanwhile.
        if (!taken || !askRenumber)
            return failedWrite(QStringLiteral("ATTENZIONE !!\n\nIl quadernolo non è stato salvato."), result);
        const SessionResult renumbered = offerNextNumber(askRenumber);
        if (!renumbered.ok())
            return renumbered;
    }

    // The pending rows are written: the register is read again and shows the new entry.
    discardAndFind(entry.number(), true);
    m_inserting = false;
    m_recordChanged = false;
    m_rowsChanged = false;
    SessionResult done = releaseLock();
    done.written = true;
    return done;
}

SessionResult EntrySession::offerNextNumber(const RenumberQuestion& ask)
{
    const qint64 taken = m_number;
    const QString kept
        = numberTakenText(taken) + QStringLiteral("\n\nIl quadernolo non è stato salvato e resta sullo schermo.");
    // The next number is read under the issuing lock, as "Nuovo" reads it: a lock removed by hand
    // while the entry was typed is taken again first. The lock stays whatever the outcome: the
    // entry stays on screen under its number.
    if (!m_lock)
        m_lock = std::make_shared<IssuingLock>(m_sources.dataFolder());
    Allocation next;
    const DbResult read = onArchive([&](Connection& db) {
        next = numberUnderLock(db, *m_lock);
        return DbResult::failure(next.readError, next.message);
    });
    if (!read.ok()) {
        SessionResult r = failedWrite(QStringLiteral("ATTENZIONE !!\n\nImpossibile leggere l' archivio."), read);
        r.message += QStringLiteral("\n\n") + kept;
        return r;
    }
    if (const QString rifiuto = allocationRefusalText(next); !rifiuto.isEmpty())
        return failed(rifiuto + QStringLiteral("\n\n") + kept);
    // The entry that held the number went meanwhile: the number is free again.
    if (next.firstEntry || next.number <= taken)
        return {};
    if (!ask(taken, next.number))
        return failed(QString());

    // The entry takes the new number; its rows, still keyed by the old one, take the entry's
    // number when they are written with it.
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    const DbResult renumbered = onRecord(rs) && rs->rowStatus() == RowStatus::New
        ? rs->setValue(QStringLiteral("Progressivo"), next.number)
        : DbResult::failure(DbError::Other, QStringLiteral("Il quadernolo in inserimento non è sul registro."));
    if (!renumbered.ok())
        return failedWrite(QStringLiteral("ATTENZIONE !!\n\nIl quadernolo non è stato salvato."), renumbered);
    m_number = next.number;
    return {};
}

SessionResult EntrySession::drop()
{
    if (!m_inserting)
        return {};
    SessionResult done;
    // Rows under the number that no entry owns (left by a station stopped while typing) go.
    if (m_number > 0) {
        const qint64 number = m_number;
        const DbResult result
            = onArchive([number](Connection& db) { return EntryStore(db).cancella_mittenti(number); });
        done.keyRefused = result.code == DbError::WrongKey;
        if (done.keyRefused)
            done.notice = QStringLiteral("ATTENZIONE !!\n\nIl quadernolo è stato annullato.\n\n") + keyRefusedText()
                + QStringLiteral("\n\nIl registro resta come era: le schede non sono state rilette.");
        else if (!result.ok())
            done.notice
                = QStringLiteral("ATTENZIONE !!\n\nErrore nell' eliminazione dei nominativi.\n\n") + result.message;
    }
    // Without a key that opens the archive nothing can be read: the register stays as shown,
    // and no correspondent of the entry given up stays on screen.
    discardAndFind(m_number, false, !done.keyRefused);
    const std::shared_ptr<Recordset> rows = m_sources.correspondents();
    if (done.keyRefused && isOpen(rows))
        rows->close();
    m_inserting = false;
    m_recordChanged = false;
    m_rowsChanged = false;
    const SessionResult released = releaseLock();
    if (!released.notice.isEmpty())
        done.notice = done.notice.isEmpty() ? released.notice : done.notice + QStringLiteral("\n\n") + released.notice;
    return done;
}

SessionResult EntrySession::releaseLock()
{
    SessionResult r;
    QString error;
    if (m_lock && !m_lock->release(&error))
        r.notice = QStringLiteral("ATTENZIONE !!\n\nImpossibile eliminare il file emissione.txt.\n\n") + error;
    return r;
}

DbResult EntrySources::withArchiveKey(const std::function<DbResult()>& work)
{
    for (;;) {
        const DbResult result = work();
        if (result.code != DbError::WrongKey || !renewArchiveKey())
            return result;
    }
}

DbResult EntrySession::onArchive(const std::function<DbResult(Connection& archive)>& write)
{
    return m_sources.withArchiveKey([&] {
        DbResult result;
        const std::shared_ptr<Connection> archive = m_sources.archive(&result);
        return archive ? write(*archive) : result;
    });
}

void EntrySession::discardAndFind(qint64 number, bool onEntry, bool read)
{
    QuietMoves quiet(*this);
    const std::shared_ptr<Recordset> rows = m_sources.correspondents();
    if (isOpen(rows))
        rows->cancelBatch();
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    if (!isOpen(rs))
        return;
    rs->cancelBatch();
    // The entry's rows as stored (none after a drop), or the whole register when another station
    // wrote meanwhile. A failed read keeps the register as it was shown.
    if (read)
        (void)m_sources.withArchiveKey([&] { return readBack(*rs, number, true); });
    const bool found = onEntry && number > 0 && rs->findKey(QStringLiteral("Progressivo"), number);
    if (!found && rs->recordCount() >= 1)
        rs->moveLast();
}

DbResult EntrySession::readBack(Recordset& rs, qint64 number, bool onlyEntry, bool* entryOnly)
{
    if (entryOnly)
        *entryOnly = false;
    const std::shared_ptr<Connection> db = rs.connection();
    const DataVersion now = db ? db->dataVersion() : DataVersion();
    const bool othersWrote = !now.isValid() || now.others != rs.readVersion().others;
    if (onlyEntry && !othersWrote) {
        if (readBackGap())
            readBackGap()();
        if (refreshRegisterEntry(rs, number).ok()) {
            // Only this entry was written up to the version compared: the register now shows the
            // file as it was then. What another station wrote after the compare is newer than
            // that version, so the next read of the register reads it.
            rs.adoptVersion(now);
            if (entryOnly)
                *entryOnly = true;
            return {};
        }
    }
    const QString filter = rs.hasFilter() ? rs.filterText() : QString();
    const QString order = rs.sort();
    DbResult result = rs.requery();
    if (!result.ok())
        return result; // the rows, filter and order shown stay
    if (!order.isEmpty())
        result = rs.setSort(order);
    if (!filter.isEmpty()) {
        const DbResult filtered = rs.setFilter(filter);
        if (result.ok())
            result = filtered;
    }
    return result;
}

// --- a registered entry ----------------------------------------------------------------------

SessionResult EntrySession::save(const TypedEntry& typed)
{
    // A new entry is written by its own confirmation, never from here.
    if (m_inserting)
        return {};
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    const qint64 number = onRecord(rs) ? rs->value(QStringLiteral("Progressivo")).toLongLong() : qint64(0);

    SessionResult done;
    QList<FieldConflict> conflicts;
    if (m_recordChanged) {
        if (!isComplete(typed)) {
            // The refused changes are given up, so that the mask shows what the archive holds.
            const std::shared_ptr<Recordset> rows = m_sources.correspondents();
            if (isOpen(rs))
                rs->cancelBatch();
            if (isOpen(rows))
                rows->cancelBatch();
            m_recordChanged = false;
            m_rowsChanged = false;
            return incomplete(kCannotSaveText);
        }
        const SessionResult record = saveRecord(&conflicts);
        if (!record.ok())
            return record;
        done.written = record.written;
    }
    // A failed write of the rows keeps them pending; a field of the record another station
    // changed too is told all the same, and the text typed here stays to be saved.
    SessionResult rowsSaved;
    if (m_rowsChanged || rowsPending()) {
        rowsSaved = saveRows();
        if (rowsSaved.ok())
            done.written = true;
    }
    const std::shared_ptr<Recordset> rows = m_sources.correspondents();
    if (rowsSaved.ok() && isOpen(rows) && rows->recordCount() >= 1)
        rows->moveFirst();
    if (done.written && number > 0) {
        const DbResult read = reread(number, true);
        if (!read.ok())
            done.message = rereadFailedText(read);
    }
    // An annulment made at another station first stays, with its reason: the register shows it.
    QString text;
    const auto altrove = std::find_if(conflicts.begin(), conflicts.end(),
                                      [](const FieldConflict& c) { return c.field == QLatin1String("Annullato"); });
    if (altrove != conflicts.end()) {
        text = testo_gia_annullato(number, altrove->stored, true)
            + QStringLiteral("\n\nIl motivo scritto qui (\"%1\") non è stato salvato.").arg(altrove->typed.toString());
        conflicts.erase(altrove);
    }
    if (!conflicts.isEmpty()) {
        // The register now shows what the other station stored; the clerk's text goes back on
        // screen, still to be saved, and the entry stays where it is.
        if (onRecord(rs) && rs->value(QStringLiteral("Progressivo")).toLongLong() == number) {
            for (const FieldConflict& conflict : conflicts)
                (void)rs->setValue(conflict.field, conflict.typed);
            m_recordChanged = true;
        }
        const QString campi = conflictText(number, conflicts)
            + QStringLiteral("\n\nIl testo scritto qui non è stato salvato e resta sullo schermo: lasciando il "
                             "quadernolo sostituirà quello dell' archivio.");
        text = text.isEmpty() ? campi : text + QStringLiteral("\n\n") + campi;
    }
    if (!rowsSaved.ok()) {
        // The rows still pending on screen are not read again over.
        done.written = false;
        done.keyRefused = rowsSaved.keyRefused;
        text = text.isEmpty() ? rowsSaved.message : text + QStringLiteral("\n\n") + rowsSaved.message;
    }
    if (!text.isEmpty()) {
        done.outcome = SessionResult::Outcome::Failed;
        done.message = done.message.isEmpty() ? text : text + QStringLiteral("\n\n") + done.message;
    }
    return done;
}

SessionResult EntrySession::saveRecord(QList<FieldConflict>* conflicts)
{
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    const qint64 number = onRecord(rs) ? rs->value(QStringLiteral("Progressivo")).toLongLong() : qint64(0);
    if (number <= 0) {
        m_recordChanged = false;
        return {};
    }
    RegisteredEntryEdit edit;
    edit.note = rs->value(QStringLiteral("Note"));
    edit.collegamento = rs->value(QStringLiteral("Collegamento"));
    edit.annullato = isTrueValue(rs->value(QStringLiteral("Annullato")));
    edit.notaAnnulla = rs->value(QStringLiteral("Nota_annulla"));

    RegisteredEntryEdit loaded;
    const bool withLoaded = m_loadedNumber == number && m_loadedValues.size() == 4;
    if (withLoaded) {
        loaded.note = m_loadedValues[0];
        loaded.collegamento = m_loadedValues[1];
        loaded.annullato = isTrueValue(m_loadedValues[2]);
        loaded.notaAnnulla = m_loadedValues[3];
    }

    const DbResult result = onArchive([&](Connection& db) {
        return EntryStore(db).salva_note_annullo(number, edit, withLoaded ? &loaded : nullptr, nullptr, conflicts);
    });
    if (!result.ok()) {
        // The entry stays modified: its changes are still on screen and are saved again later.
        return failedWrite(QStringLiteral("ATTENZIONE !!\n\nImpossibile salvare il quadernolo n. %1.").arg(number),
                           result);
    }
    m_recordChanged = false;
    SessionResult done;
    done.written = true;
    return done;
}

SessionResult EntrySession::saveRows()
{
    const std::shared_ptr<Recordset> rows = m_sources.correspondents();
    if (!isOpen(rows)) {
        m_rowsChanged = false;
        return {};
    }
    // A blank last row is dropped, but an entry never loses its only row.
    if (rows->recordCount() > 1 && lastCorrespondentBlank()) {
        rows->moveLast();
        (void)rows->deleteCurrent();
    }
    // The rows are written through their own recordset, which a new key reaches too.
    const DbResult result = m_sources.withArchiveKey([&rows] { return rows->updateBatch(); });
    if (!result.ok()) {
        m_rowsChanged = true;
        return failedWrite(QStringLiteral("ATTENZIONE !!\n\nImpossibile salvare i nominativi del quadernolo."), result);
    }
    m_rowsChanged = false;
    return {};
}

SessionResult EntrySession::saveBeforeMove(const TypedEntry& typed)
{
    // The entry being typed stays on screen until it is confirmed or dropped.
    if (m_inserting)
        return failed(QString());
    if (m_recordChanged && !isComplete(typed))
        return incomplete(kCannotSaveText);
    if (m_recordChanged || rowsPending())
        return save(typed);
    return {};
}

SessionResult EntrySession::leave(const TypedEntry& typed, const std::function<bool()>& askSave)
{
    if (m_inserting)
        return failed(QString());
    const bool rows = rowsPending();
    if (!m_recordChanged && !rows)
        return {};
    if (m_recordChanged && !isComplete(typed))
        return incomplete(kCannotSaveText);
    if (askSave()) {
        const SessionResult saved = save(typed);
        if (!saved.ok())
            return saved;
    }
    // Changes the clerk chose not to keep are given up with the register.
    m_recordChanged = false;
    m_rowsChanged = false;
    return {};
}

SessionResult EntrySession::storedSubject(qint64 number, QVariant* subject)
{
    const DbResult result = onArchive([&](Connection& db) { return leggi_oggetto(db, number, subject); });
    if (!result.ok())
        return failedWrite(QString::fromUtf8(kSubjectNotSavedText), result);
    return {};
}

SessionResult EntrySession::correctSubject(qint64 number, const QString& subject, const QVariant* from)
{
    QList<FieldConflict> conflicts;
    const DbResult result
        = onArchive([&](Connection& db) { return salva_oggetto(db, number, CampoOggetto, subject, from, &conflicts); });
    if (!result.ok())
        return failedWrite(QString::fromUtf8(kSubjectNotSavedText), result);
    if (!conflicts.isEmpty())
        return failed(conflictText(number, conflicts) + QStringLiteral("\n\nCorrezione non salvata."));
    SessionResult done;
    done.written = true;
    return done;
}

SessionResult EntrySession::checkNotAnnulled()
{
    return markAnnulled(nullptr);
}

SessionResult EntrySession::annul(const QString& reason)
{
    if (reason.trimmed().isEmpty())
        return failed(QString());
    return markAnnulled(&reason);
}

SessionResult EntrySession::markAnnulled(const QString* reason)
{
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    if (!onRecord(rs))
        return failed(QString());
    const qint64 number = rs->value(QStringLiteral("Progressivo")).toLongLong();
    // An annulment is never made twice: the reason first given stays.
    if (isTrueValue(rs->value(QStringLiteral("Annullato"))))
        return failed(testo_gia_annullato(number, rs->value(QStringLiteral("Nota_annulla")), false));

    // Another station may have annulled the entry since the register was read.
    const QString notDone = QStringLiteral("ATTENZIONE !\n\nIl quadernolo n. %1 non è stato annullato.").arg(number);
    AnnullamentoArchiviato stored;
    const DbResult read = onArchive([&](Connection& db) { return leggi_annullamento(db, number, &stored); });
    if (!read.ok())
        return failedWrite(notDone, read);
    if (!stored.trovato)
        return failed(notDone + QStringLiteral("\n\nQuadernolo n. %1 non trovato nell'archivio.").arg(number));
    if (!stored.annullato && !reason)
        return {};

    // The reason goes in first: a refused one leaves the entry as it was.
    const QVariant shownReason = rs->value(QStringLiteral("Nota_annulla"));
    const bool changedBefore = m_recordChanged;
    const QVariant newReason = stored.annullato ? stored.motivo : QVariant(*reason);
    DbResult written = rs->setValue(QStringLiteral("Nota_annulla"), newReason);
    if (written.ok()) {
        written = rs->setValue(QStringLiteral("Annullato"), true);
        if (!written.ok())
            (void)rs->setValue(QStringLiteral("Nota_annulla"), shownReason);
    }
    if (!written.ok()) {
        m_recordChanged = changedBefore;
        return failed(notDone + QStringLiteral("\n\n") + written.message);
    }
    // The entry shows the annulment; the next save writes it (one made elsewhere stays as stored).
    m_recordChanged = true;
    if (stored.annullato)
        return failed(testo_gia_annullato(number, stored.motivo, true));
    return {};
}

DbResult EntrySession::reread(qint64 number, bool onlyEntry)
{
    const std::shared_ptr<Recordset> rs = m_sources.registerRows();
    if (!isOpen(rs))
        return {};
    DbResult result;
    {
        QuietMoves quiet(*this);
        const int position = rs->absolutePosition();
        bool entryOnly = false;
        result = m_sources.withArchiveKey([&] { return readBack(*rs, number, onlyEntry, &entryOnly); });
        // The same row when it still shows the entry, else the entry's first row. Rows read back
        // for the entry alone keep the current record, wherever the order now puts it; after a
        // read of every row the same place stands for it.
        const auto onEntry
            = [&] { return onRecord(rs) && rs->value(QStringLiteral("Progressivo")).toLongLong() == number; };
        bool found = entryOnly && onEntry();
        if (!entryOnly && position >= 1 && position <= rs->recordCount()) {
            rs->setAbsolutePosition(position);
            found = onEntry();
        }
        if (!found && !rs->findKey(QStringLiteral("Progressivo"), number) && rs->recordCount() >= 1)
            rs->moveFirst();
    }
    rememberLoaded();
    return result;
}

} // namespace quad
