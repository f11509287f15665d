#include "numbering.h"

#include "clock.h"
#include "issuing_lock.h"

#include <limits>

namespace quad {

QString directionCode(const QString& p_sessione)
{
    return p_sessione == QLatin1String("Entrata") ? QStringLiteral("E") : QStringLiteral("U");
}

NextNumber nextNumber(Connection& conn)
{
    NextNumber next;
    // Progressivo is the row key: the highest one is read from the key index, not by a scan.
    bool found = false;
    QVariant last;
    QVariant lastDate;
    next.result = conn.query(QStringLiteral("SELECT Progressivo, Data_quadernolo FROM entrata "
                                            "ORDER BY Progressivo DESC LIMIT 1"),
                             {}, [&](const Statement& st) {
                                 found = true;
                                 last = st.value(0);
                                 lastDate = st.value(1);
                                 return false;
                             });
    if (!next.result.ok())
        return next;
    if (!found) {
        next.emptyRegister = true;
        return next;
    }
    bool isNumber = false;
    const qint64 highest = last.toLongLong(&isNumber);
    if (!isNumber || highest == std::numeric_limits<qint64>::max()) {
        next.result = DbResult::failure(
            DbError::Other, QStringLiteral("Numero di quadernolo non valido nell'archivio: %1").arg(last.toString()));
        return next;
    }
    next.number = highest + 1;
    next.lastDate = QDate::fromString(lastDate.toString().left(10), Qt::ISODate);
    return next;
}

std::optional<qint64> parseStartNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 number = trimmed.toLongLong(&ok);
    if (!ok || number <= 0 || number > kLastNumber)
        return std::nullopt;
    return number;
}

namespace {

/// Gives the lock back after an allocation that did not happen; a lock file that stays behind is
/// named in the message so that the user can remove it.
void releaseAfterRefusal(IssuingLock& lock, Allocation* allocation)
{
    QString error;
    if (!lock.release(&error))
        allocation->message = allocation->message.isEmpty() ? error : allocation->message + QLatin1Char('\n') + error;
}

} // namespace

Allocation numberUnderLock(Connection& conn, IssuingLock& lock)
{
    Allocation allocation;
    const LockResult taken = lock.acquire();
    if (taken.status == LockStatus::HeldByOther) {
        allocation.status = AllocationStatus::LockHeld;
        return allocation;
    }
    if (!taken.ok()) {
        allocation.status = AllocationStatus::LockFailed;
        allocation.message = taken.message;
        return allocation;
    }
    const NextNumber next = nextNumber(conn);
    if (!next.result.ok()) {
        allocation.status = AllocationStatus::ReadFailed;
        allocation.message = next.result.message;
        allocation.readError = next.result.code;
        return allocation;
    }
    if (next.emptyRegister) {
        allocation.status = AllocationStatus::Allocated;
        allocation.firstEntry = true;
        return allocation;
    }
    // Past the last number no entry is registered: no other office would take it.
    if (next.number > kLastNumber) {
        allocation.status = AllocationStatus::LastNumberReached;
        return allocation;
    }
    allocation.status = AllocationStatus::Allocated;
    allocation.number = next.number;
    allocation.lastDate = next.lastDate;
    return allocation;
}

QString allocationRefusalText(const Allocation& allocation)
{
    switch (allocation.status) {
    case AllocationStatus::LockHeld:
        return QString::fromUtf8(kLockHeldText);
    case AllocationStatus::LockFailed:
        return QStringLiteral("ATTENZIONE !!\n\nImpossibile creare il file emissione.txt.\n\n") + allocation.message;
    case AllocationStatus::LastNumberReached:
        return QString::fromUtf8(kLastNumberText)
            + (allocation.message.isEmpty() ? QString() : QStringLiteral("\n\n") + allocation.message);
    default:
        return {};
    }
}

Allocation allocateNumber(Connection& conn, IssuingLock& lock,
                          const std::function<std::optional<QString>()>& askStartNumber)
{
    Allocation allocation = numberUnderLock(conn, lock);
    // A lock that was not taken here is not given back.
    if (allocation.status == AllocationStatus::LockHeld || allocation.status == AllocationStatus::LockFailed)
        return allocation;
    if (!allocation.ok()) {
        releaseAfterRefusal(lock, &allocation);
        return allocation;
    }
    if (!allocation.firstEntry)
        return allocation;

    const std::optional<QString> typed = askStartNumber ? askStartNumber() : std::nullopt;
    const std::optional<qint64> start = typed ? parseStartNumber(*typed) : std::nullopt;
    if (!start) {
        allocation.status = AllocationStatus::StartRefused;
        allocation.firstEntry = false;
        releaseAfterRefusal(lock, &allocation);
        return allocation;
    }
    allocation.number = *start;
    allocation.lastDate = Clock::currentDate();
    return allocation;
}

} // namespace quad
