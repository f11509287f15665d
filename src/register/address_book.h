#pragma once

#include "database.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace quad {

/// Messages of the address book, shown by the windows exactly as they stand.
inline const char* kMsgSelezionareNominativo = "Selezionare il nominativo da modificare !";
inline const char* kMsgConfermaEliminazione = "Confermi l' eliminazione del nominativo selezionato ?";
inline const char* kMsgAggiornoArchivio = "Dati anagrafici non presenti in archivio.\n\nAggiorno l' archivio ?\n\n";
inline const char* kMsgErroreNominativi = "Errore nel Database dei nominativi !";

/// The personal columns that the address book Elenco shares with the correspondent rows of
/// Mittenti, in table order: Nominativo, P_iva_CF, Data_nascita, Indirizzo, Civico, Citta, Prov,
/// Stato, Cap.
const QStringList& campiAnagrafici();

/// Value of a field of a row held as a map, the name matched without regard to case; a null
/// QVariant when the row has no such field.
QVariant valoreCampo(const QVariantMap& row, const QString& field);

/// A birth date as held by a row (a QDate, a QDateTime, or a text "yyyy-MM-dd" or "dd/MM/yyyy");
/// an invalid QDate when the value is Null or not a date.
QDate dataDaValore(const QVariant& value);

/// One address-book record: its values by column name (see campiAnagrafici(); a missing name
/// or a null value is Null; Data_nascita a QDate) and, when it was read from the table, its row
/// id. A record with id 0 is identified by its values.
struct AddressRecord
{
    qint64 id = 0;
    QVariantMap values;

    QVariant value(const QString& field) const { return valoreCampo(values, field); }
};

/// What a look-up statement is made of: its text and the values bound to its '?' marks.
struct BoundQuery
{
    QString sql;
    QVariantList params;
};

/// The look-up of the names beginning with text (as typed, not trimmed): every column of
/// Elenco in table order and, last, the record's row id as "Id" (so that a correction or a
/// deletion finds the very record chosen), ordered by name without regard to case. '%' and '_'
/// typed are literal; a quote is just a character. Suits a recordset over the address book.
BoundQuery cerca_in_elenco_query(const QString& text);

/// What a check after a confirmed entry did.
struct UpdateOutcome
{
    int added = 0; ///< records written to the address book
    bool asked = false; ///< the question was asked
    DbResult error; ///< a database failure ended the check (records added before it stay)
};

/// The address book Elenco of the settings database Quad_imposta.mdb (not keyed). Every
/// statement binds its values. Nothing here shows a message: failures come back as DbResult.
class AddressBook
{
public:
    explicit AddressBook(std::shared_ptr<Connection> db);

    /// The program-wide connection to the settings database of the program folder (the file
    /// found without regard to case). Null on failure, with *error filled.
    static std::shared_ptr<Connection> openSettings(DbResult* error);

    std::shared_ptr<Connection> connection() const { return m_db; }

    /// The records whose name begins with text (as typed, not trimmed; case ignored), ordered
    /// by name. Each carries its row id.
    QList<AddressRecord> cerca_in_elenco(const QString& text, DbResult* error = nullptr) const;

    /// Reads one record by row id; false when it is not there (or on error, *error filled).
    bool leggi(qint64 id, AddressRecord* record, DbResult* error = nullptr) const;

    /// True when a record equals the correspondent row in every column the row fills: the name
    /// whenever it is not Null (a blank name too), the birth date when not Null, every other
    /// column when its trimmed text is not empty. Text compares without regard to case. A row
    /// that fills no column is never looked for: *looked is set false and the result is false.
    bool trova_corrispondente(const QVariantMap& row, bool* looked, DbResult* error = nullptr) const;

    /// Adds a record with the columns the correspondent row fills (trimmed text not empty, a
    /// birth date that is a date); the others stay Null. *id receives the new row id.
    DbResult aggiungi_da_corrispondente(const QVariantMap& row, qint64* id = nullptr);

    /// The check after a confirmed entry: every correspondent row is looked for; for the first
    /// one missing, ask() is called once (true: add it and every further missing one without
    /// asking; false: add nothing in this run). Each record is written before the next row is
    /// checked; a failure ends the check at once and is returned in the outcome.
    UpdateOutcome aggiorna_nominativi(const QList<QVariantMap>& rows, const std::function<bool()>& ask);

    /// Deletes the record (by row id, or by its values when id is 0: the first record equal to
    /// it in every column, Null matching Null). A record no longer there is an error.
    DbResult elimina(const AddressRecord& record);

    /// Writes values over the record (identified as for elimina). Columns missing from values
    /// become Null; an empty text is stored as Null; Data_nascita is stored as a date or Null.
    /// On success *record holds its row id and the values as stored; a record no longer there
    /// is an error and leaves *record as it was.
    DbResult correggi(AddressRecord* record, const QVariantMap& values);

private:
    DbResult locate(const AddressRecord& record, qint64* id) const;

    std::shared_ptr<Connection> m_db;
};

/// Copies an address-book record into a correspondent row as a pick from the look-up does:
/// Nominativo as it stands, Data_nascita only when the record has one (else the row keeps its
/// date), every other column with Null turned into "". Existing keys of row are matched
/// without regard to case and keep their spelling.
void copia_in_corrispondente(const AddressRecord& record, QVariantMap* row);

} // namespace quad
