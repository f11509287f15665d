#pragma once

#include <QDateTime>

namespace quad {

/// The program's source of "now": registration dates, times and file-name stamps read it,
/// so tests can fix the moment.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    static QDateTime currentDateTime();
    static QDate currentDate() { return currentDateTime().date(); }
    static QTime currentTime() { return currentDateTime().time(); }
    /// Installs a clock; the caller keeps ownership. Null restores the system clock.
    static void install(Clock* clock);
};

/// A clock that stays where it is set.
class FixedClock : public Clock
{
public:
    explicit FixedClock(const QDateTime& moment)
        : m_moment(moment)
    {
    }
    QDateTime now() const override { return m_moment; }
    void set(const QDateTime& moment) { m_moment = moment; }

private:
    QDateTime m_moment;
};

} // namespace quad
