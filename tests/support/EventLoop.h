#pragma once
// Waiting on the event loop, for tests and benchmarks that drive windows
// and web pages.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace testenv {

// Runs the event loop until the condition holds or the time is up, and
// says whether it holds. The loop sleeps only in its own wait for events,
// so the web engine's many small steps follow each other at full speed.
template <class Condition>
bool WaitUntil(Condition condition, int timeoutMs = 20000)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (condition() || clock.elapsed() >= timeoutMs)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    return condition();
}

// Runs the event loop for a while, to see that nothing more happens.
inline void Settle(int ms)
{
    WaitUntil([] { return false; }, ms);
}

}  // namespace testenv
