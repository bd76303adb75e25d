#pragma once

#include <QDateTime>

// Today's date and the time of day. The order rules depend on the month, so tests
// install a clock of their own instead of reading the real one.
class Clock
{
public:
    virtual ~Clock();
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }

    static Clock *instance();
    // Installs a replacement (tests); nullptr restores the system clock. Not owned.
    static void setInstance(Clock *clock);
};

// A clock that stands still at a set moment.
class FixedClock : public Clock
{
public:
    explicit FixedClock(const QDateTime &at) : m_at(at) {}
    QDateTime now() const override { return m_at; }
    void set(const QDateTime &at) { m_at = at; }

private:
    QDateTime m_at;
};
