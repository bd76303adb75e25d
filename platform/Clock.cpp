#include "platform/Clock.h"

namespace {
class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
Clock *g_override = nullptr;
}

Clock::~Clock() = default;

Clock *Clock::instance()
{
    static SystemClock real;
    return g_override ? g_override : &real;
}

void Clock::setInstance(Clock *clock)
{
    g_override = clock;
}
