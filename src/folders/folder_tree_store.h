#pragma once

#include "database.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace quad {

/// The root of the folder tree: shown first in every tree, never stored.
inline const QString kRadiceFascicoli = QStringLiteral("FASCICOLI");
/// The deepest level a folder can have.
constexpr int kLivelloMassimo = 5;

/// Level of a folder key: the number of "\" in it ("3\12\" is level 2; the root is level 0).
int livello_chiave(const QString& key);
/// The number of a folder: the last component of its key (0 when it is not a number).
qint64 numero_chiave(const QString& key);

/// One folder as the table sys_tree holds it.
struct NodoAlbero
{
    QString key;
    QString caption;
    bool expanded = false;
    bool selected = false;

    bool operator==(const NodoAlbero& other) const { return key == other.key && caption == other.caption; }
    bool operator!=(const NodoAlbero& other) const { return !(*this == other); }
};

/// Running maximum number of each level, indexes 1 to 5 (0 unused). Numbers are 64-bit.
using LivelliMassimi = std::array<qint64, kLivelloMassimo + 1>;

/// The stored tree as a window loads it.
struct AlberoCaricato
{
    /// The folders to show, in stored order, each after its parent: (folder, parent key) where
    /// the parent key is "" for the root. A row of level 0 or deeper than 5, or whose parent
    /// level has no folder before it, is left out.
    std::vector<std::pair<NodoAlbero, QString>> nodi;
    LivelliMassimi levelMax {};
    /// The structure snapshot taken in the same read.
    QString snapshot;
};

/// Reads the tree in stored order (the order the rows were written). Every row of level 1 to 5
/// counts for levelMax, shown or not, so that a new key never repeats a stored one.
AlberoCaricato carica_albero(Connection& db, DbResult* error);

/// The structure snapshot: every row's key, a TAB, its caption and a CR, in stored order.
/// Another station's saved change (a folder added, removed, renamed or reordered) changes it.
QString snapshot_albero(Connection& db, DbResult* error);

/// The folders of a tree text (one line per node: depth spaces, caption, "~", key, CR LF),
/// root excluded, captions trimmed. A line without "~" is skipped; the key is what follows the
/// last "~" (a key never holds one).
std::vector<NodoAlbero> nodi_da_testo(const QString& text);

/// A caption a folder may be given: not blank, without "~".
bool caption_valida(const QString& caption);

/// What a save did.
enum class EsitoAlbero {
    Scritto, ///< the stored tree is now the given one
    NienteDaScrivere, ///< the stored tree already was the given one
    ModificatoAltrove, ///< another station changed the stored tree since the snapshot: nothing written
    Errore ///< the archive refused: nothing written
};

struct SalvataggioAlbero
{
    EsitoAlbero esito = EsitoAlbero::Errore;
    DbResult error; ///< the cause when esito is Errore
    QString snapshot; ///< the snapshot after the save (when written or nothing to write)
};

/// Makes the stored tree the given one in one immediate transaction: first compares the stored
/// snapshot with atteso (a difference writes nothing), then deletes every link of the folders in
/// scollega, then writes only what differs: captions changed in place, rows from the first
/// differing key on deleted and written again in order. Nothing is written on any failure.
SalvataggioAlbero salva_albero(Connection& db, const QString& atteso, const std::vector<NodoAlbero>& nodi,
                               const QStringList& scollega = {});

/// The message shown when another station changed the stored tree.
inline const QString kModificatoAltrove = QStringLiteral("Struttura Modificata da altro utente");

} // namespace quad
