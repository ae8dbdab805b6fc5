#include "platform/forms/Timer.h"

#include "platform/forms/Form.h"
#include "platform/runtime/Errors.h"

#include <QTimer>

namespace plat {

Timer::Timer(Form& form, QString name) : form_(form), name_(std::move(name)), timer_(std::make_unique<QTimer>())
{
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { Fire(); });
    form_.RegisterTimer(this);
}

Timer::~Timer()
{
    form_.UnregisterTimer(this);
}

bool Timer::Running() const
{
    return timer_->isActive();
}

void Timer::Fire()
{
    if (Tick)
        Guard(Tick);
}

void Timer::Stop()
{
    timer_->stop();
}

void Timer::PropertyChanged(Aspect)
{
    Update();
}

void Timer::Update()
{
    if (Enabled && Interval > 0 && form_.Loaded())
        timer_->start(Interval);
    else
        timer_->stop();
}

}  // namespace plat
