#pragma once

#include "database.h"
#include "program_folder.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

namespace quad {

class IssuingLock;

/// Texts of the new-entry routine, shown by the main window as they stand.
inline const char* kLockHeldText = "ATTENZIONE !!\n\nQuadernolo in emissione da altro utente.";
inline const char* kStartNumberPrompt = "Primo inserimento ...\n\nInserire il numero di quadernolo di partenza.";
inline const char* kStartNumberRefusedText = "   AZIONE ANNULLATA   \n\n    Valore non valido !";
inline const char* kLastNumberText = "ATTENZIONE !\n\nIl registro ha raggiunto l' ultimo numero (2147483647): non si "
                                     "possono registrare altri quadernoli.";

/// The direction code of a register: "E" for "Entrata", "U" for anything else.
QString directionCode(const QString& p_sessione);

/// The number the next entry gets, read from the archive file at the moment of the call (never
/// from a snapshot), so it follows every entry committed by any station. Call it under the
/// issuing lock.
struct NextNumber
{
    DbResult result; ///< a failed read: number and emptyRegister mean nothing
    bool emptyRegister = false; ///< no entry yet: the user gives the start number
    qint64 number = 0; ///< highest Progressivo + 1 (0 on an empty register), past kLastNumber in a full one
    QDate lastDate; ///< Data_quadernolo of the entry with the highest number (invalid when none)
};
NextNumber nextNumber(Connection& conn);

/// The start number of an empty register: a whole number from 1 to kLastNumber, blanks around it
/// allowed. Refused (nullopt): an empty or cancelled answer, 0, a negative number, a fraction,
/// digits followed or preceded by other text, a sign, a number past kLastNumber.
std::optional<qint64> parseStartNumber(const QString& text);

/// How an allocation ended.
enum class AllocationStatus {
    Allocated, ///< the lock is held and number is the new entry's
    LockHeld, ///< another station is issuing: show kLockHeldText
    LockFailed, ///< the lock file could not be created: message says why
    StartRefused, ///< the start number was refused: show kStartNumberRefusedText
    LastNumberReached, ///< the register's highest number is kLastNumber (or past it): show kLastNumberText
    ReadFailed, ///< the archive could not be read: message says why
    RegisterUnread ///< the register could not be read again: its error signal told why
};

struct Allocation
{
    AllocationStatus status = AllocationStatus::ReadFailed;
    qint64 number = 0;
    bool firstEntry = false; ///< the register was empty and the number came from the user
    QDate lastDate; ///< date of the last entry; today on an empty register (the lower bound of the new date)
    QString message; ///< the cause for LockFailed and ReadFailed; also names a lock file that could not be removed
    /// What the read of ReadFailed met (DbError::WrongKey: the key no longer opens the archive).
    DbError readError = DbError::None;

    bool ok() const { return status == AllocationStatus::Allocated; }
};

/// The issuing lock taken and the next number read under it, with nothing released: Allocated
/// with the number and the last entry's date (firstEntry and number 0 on an empty register, whose
/// start number is the caller's to ask), else LockHeld, LockFailed, ReadFailed or
/// LastNumberReached. What becomes of a lock taken here is the caller's to decide.
Allocation numberUnderLock(Connection& conn, IssuingLock& lock);

/// What the clerk is told of an allocation refused for its lock or for the register's last number
/// (LockHeld, LockFailed, LastNumberReached, with the message that came with it); "" for any other
/// outcome.
QString allocationRefusalText(const Allocation& allocation);

/// Takes the issuing lock and allocates the next number. On an empty register askStartNumber is
/// called for the start number (it returns the text typed, or nullopt when the user cancelled).
/// A register whose highest number is kLastNumber or more gives no number (LastNumberReached).
/// On every outcome but Allocated the lock taken here is released again and nothing is written;
/// a lock held by another station is left untouched. On Allocated the caller keeps the lock until
/// the new entry is committed or dropped.
Allocation allocateNumber(Connection& conn, IssuingLock& lock,
                          const std::function<std::optional<QString>()>& askStartNumber);

} // namespace quad
