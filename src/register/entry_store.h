#pragma once

#include "database.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace quad {

/// Texts of the completeness checks, shown by the main window as they stand.
inline const char* kIncompleteNewEntryText = "ATTENZIONE\n\nDati incompleti per il salvataggio !";
inline const char* kCannotSaveText = "Impossibile salvare !\n\nDati non completi\n\n";

/// The correspondent fields the blank-row test reads (boxes 8 to 15, then 25).
QStringList correspondentFields();

/// A new entry while it is being typed: its register record and its correspondent rows, kept in
/// memory until the confirmation writes them all at once. Field names are the archive's column
/// names (entrata for record, Mittenti for correspondents); values as the recordset holds them
/// (QDate for dates, QTime for times, bool for yes/no, numbers, text).
struct NewEntry
{
    QVariantMap record;
    QList<QVariantMap> correspondents;

    qint64 number() const; ///< the record's Progressivo
    QString tipo() const; ///< the record's Tipo, "E" or "U"
};

/// The value of a field of a row, its name matched without regard to case; null when absent.
QVariant fieldValue(const QVariantMap& row, const QString& name);
/// Sets a field of a row, replacing a key that differs only in case.
void setFieldValue(QVariantMap& row, const QString& name, const QVariant& value);

/// A new entry numbered number for the register p_sessione ("Entrata" gives "E", anything else
/// "U"), at the moment now: Progressivo, Tipo, Data_quadernolo (now's date), Anno (its year),
/// Orario (now's time to the second), Numero_documenti 0, Annullato and Riservato cleared; and
/// its first correspondent row holding only Quadernolo and tipo.
NewEntry makeNewEntry(qint64 number, const QString& p_sessione, const QDateTime& now);
/// An empty correspondent row of entry number in direction tipo.
QVariantMap newCorrespondent(qint64 number, const QString& tipo);

/// True when every field of correspondentFields() is empty after trimming (Null counts as empty).
bool isBlankCorrespondent(const QVariantMap& row);
/// A street without a house number gets "snc" as house number. True when the row changed.
bool fillMissingHouseNumber(QVariantMap& row);

/// The required fields of an entry: the registration date not empty (not trimmed), document type,
/// subject and the correspondent's name not empty after trimming. Null counts as empty.
bool isEntryComplete(const QVariant& dataQuadernolo, const QVariant& tipoDocumento, const QVariant& oggetto,
                     const QVariant& nominativo);
/// The same test on a new entry, with the name of its correspondent row currentRow.
bool isEntryComplete(const NewEntry& entry, int currentRow);

/// The fields of a registered entry that may still change: its note, its linked file and the
/// annulment (box 18, box 19, Check1, box 26).
struct RegisteredEntryEdit
{
    QVariant note;
    QVariant collegamento;
    bool annullato = false;
    QVariant notaAnnulla;
};

/// A field the clerk changed on a registered entry that another station changed too since the
/// entry was read here: it is left as the other station stored it.
struct FieldConflict
{
    /// the archive's column (Note, Collegamento, Nota_annulla, Oggetto), or Annullato for an entry
    /// annulled here and at another station: stored and typed are then the two reasons
    QString field;
    QVariant stored; ///< what the archive holds, written by the other station
    QVariant typed; ///< what the clerk typed here, not written
};

/// What a save does with a text field: leave it (the clerk did not change it, or the archive
/// holds the clerk's value already), write it, or leave it because another station changed it
/// too (its stored value is no longer the loaded one). Without loaded the stored value is the
/// reference. Null and "" count as equal.
enum class FieldWrite { Keep, Write, Conflict };
FieldWrite fieldWrite(const QVariant& stored, const QVariant* loaded, const QVariant& typed);

/// The warning that names entry numero and, for each field left unwritten, what the archive
/// holds and what the clerk typed.
QString conflictText(qint64 numero, const QList<FieldConflict>& conflicts);

/// The refusal of a new entry whose number belongs to an entry already.
QString numberTakenText(qint64 number);

/// Writes register entries to an archive. Every write is one transaction: it is written whole or
/// not at all, and a failure comes back with its cause.
class EntryStore
{
public:
    explicit EntryStore(Connection& conn);

    /// Writes a new entry and its correspondent rows in one transaction. Correspondent rows that
    /// are blank are left out, a street without a house number gets "snc", every row gets the
    /// entry's number and direction, and Anno follows Data_quadernolo. Rows stored under the
    /// number by an entry that was never completed are removed in the same transaction.
    /// Refused, with nothing written: a number that is not positive or already belongs to an
    /// entry (DbError::Constraint), a direction other than "E"/"U", no correspondent row left, a
    /// field the tables do not have, a value that does not fit its field (a date that is not a
    /// date). On a failure while writing everything is rolled back and the cause returned.
    /// *numberTaken, when given, tells whether the refusal was a number that belongs to an entry
    /// already (the message is then numberTakenText()).
    DbResult commitNewEntry(const NewEntry& entry, bool* numberTaken = nullptr);

    /// Deletes the correspondent rows stored under numero (in direction tipo only, when tipo is
    /// not empty) that no entry owns: when an entry numbered numero exists, nothing is deleted.
    /// *deleted receives the number of rows removed.
    DbResult cancella_mittenti(qint64 numero, const QString& tipo = QString(), int* deleted = nullptr);

    /// Writes the changeable fields of registered entry numero, only those whose stored value
    /// differs (Null and "" count as equal). With loaded (the values as the entry was shown), a
    /// field is written only when the edit changed it from its loaded value too, so a change
    /// another station made meanwhile to a field this one did not touch is kept; a field both
    /// changed (fieldWrite() gives Conflict) is not written and goes to *conflicts, while the
    /// others are. An annulled entry stays annulled and keeps its reason; an annulment without a
    /// reason (blank) is refused. An entry that is not in the archive is an error. The compare and
    /// the write are one transaction, which holds the archive's write lock from the start: on any
    /// error nothing is written. *written receives the names of the fields written.
    DbResult salva_note_annullo(qint64 numero, const RegisteredEntryEdit& edit,
                                const RegisteredEntryEdit* loaded = nullptr, QStringList* written = nullptr,
                                QList<FieldConflict>* conflicts = nullptr);

private:
    Connection& m_conn;
};

} // namespace quad
