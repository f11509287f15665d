#pragma once

// The entries another office sends (a notification, a transfer file), written into the archive:
// the new ones in one transaction, those the archive holds already compared with it.

#include "database.h"
#include "program_folder.h"
#include "recordset.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

namespace quad {

/// Column values by name, in the order a file gives them.
using ValoriColonne = QList<QPair<QString, QVariant>>;

/// Whether a column of Mittenti is one that joins a correspondent to its entry: Quadernolo (the
/// entry's number) or tipo (its direction), in any case.
bool giunzione(const QString& colonna);

/// The value of the column nome among valori (without regard to case); nullptr when they do not
/// hold it.
const QVariant* valore_colonna(const ValoriColonne& valori, const QString& nome);
/// Sets the value of the column nome among valori (without regard to case), or adds it.
void imposta_colonna(ValoriColonne& valori, const QString& nome, const QVariant& valore);

/// One entry as a received file gives it: its register number, the columns of entrata the file
/// gives, and one correspondent (Mittenti's columns the file gives, with Quadernolo and tipo, the
/// entry's number and direction) for each of its rows. A Null value stands for Null.
struct SchedaRicevuta
{
    qint64 numero = 0;
    ValoriColonne scheda;
    QList<ValoriColonne> mittenti;
};

/// What became of the entries of a received file.
struct EsitoSchede
{
    int righe = 0; ///< correspondent rows added to the archive
    QList<qint64> aggiunti; ///< entries added to the archive
    QList<qint64> presenti; ///< entries the archive already held with the same values
    /// Entries the archive already held with other values, each with the columns that differ:
    /// left in the archive as they were.
    QList<QPair<qint64, QStringList>> diversi;
};

/// Whether two values are the same as the register shows them (Null only equals Null).
bool stesso_valore(const QVariant& a, const QVariant& b);

/// The register number a value of a received file gives: a whole number from 1 to kLastNumber,
/// whatever type the file gives its column: a number (a real holding 5.5 gives none) or a text of
/// digits alone (blanks around them allowed). nullopt for anything else: Null, a sign, letters,
/// a yes/no, a date.
std::optional<qint64> numero_registro(const QVariant& valore);

/// One row of a received file as its reader took it.
struct RigaRicevuta
{
    int posizione = 0; ///< its place among the file's rows, counted from 1
    QVariant numero; ///< the register number it gives its entry, as the file gives it
    ValoriColonne scheda; ///< its values of entrata's columns (Progressivo becomes the number)
    /// Its values of Mittenti's columns. Quadernolo and tipo, where the row gives them, are checked
    /// against its entry's number and direction; where it does not, the entry's are given them.
    ValoriColonne mittente;
};

/// The one check of the rows a received file gives, and the entries they make: in *schede, in the
/// order they first come, each entry with the values of its first row, Progressivo its number, and
/// one correspondent per row. The file is refused (an error naming the row, counted from 1, and the
/// column; *schede left empty) for:
/// - a row whose register number, or its correspondent's Quadernolo, is not one numero_registro
///   takes (a Quadernolo that is Null included);
/// - an entry whose direction (Tipo) is not "E" or "U" exactly (Null, "", "e", " U" are none);
/// - a correspondent of another number or direction than its row's entry;
/// - rows of one number that give its entry other values in any column.
DbResult raccogli_schede(const QList<RigaRicevuta>& righe, QList<SchedaRicevuta>* schede);

/// The entries of one received file, written into the archive in one transaction. An entry the
/// archive holds already is never written again: it is the same delivery received again when its
/// registration and its correspondents agree with the archive's (every column of every
/// correspondent row of the entry's number and direction, none added or missing; the receiving
/// office's notes, annulment, link and bookkeeping columns are its own and not compared), and
/// otherwise it is listed with the columns that differ.
class SchedeRicevute
{
public:
    /// Begins the transaction on db.
    DbResult inizia(const std::shared_ptr<Connection>& db);
    /// Compares the entry with the archive's, or adds it (pending until concludi()). An error
    /// (an archive that cannot be read, a value its column refuses, naming the column) leaves
    /// nothing to write.
    DbResult aggiungi(const SchedaRicevuta& scheda);
    /// Writes the entries added and commits; nothing is written when it fails.
    DbResult concludi();

    const EsitoSchede& esito() const { return m_esito; }

private:
    /// The columns that tell the archive's entry scheda.numero from scheda; *presente false when
    /// the archive holds no such entry.
    DbResult confronta(const SchedaRicevuta& scheda, bool* presente, QStringList* diverse);

    std::shared_ptr<Connection> m_db;
    std::unique_ptr<Transaction> m_transazione;
    Recordset m_schede;
    Recordset m_mittenti;
    EsitoSchede m_esito;
};

} // namespace quad
