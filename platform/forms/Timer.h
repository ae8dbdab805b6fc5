#pragma once
// The Timer control on the Qt event loop. It ticks while Enabled is True and
// Interval is above 0; enabling it or changing its interval restarts the
// countdown.

#include "platform/forms/Property.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QTimer;

namespace plat {

class Form;

class Timer : public PropertyOwner {
public:
    Timer(Form& form, QString name);
    ~Timer();

    Prop<bool> Enabled{this, Aspect::State, true};
    Prop<int> Interval{this, Aspect::State, 0};
    std::function<void()> Tick;  // the Timer event

    bool Running() const;
    void Fire();  // runs the Timer event once, as a tick would (tests)
    const QString& Name() const { return name_; }
    void Stop();    // the form unloads: no more ticks until enabled again
    void Update();  // starts or stops the Qt timer to match the properties

private:
    void PropertyChanged(Aspect) override;
    Form& form_;
    QString name_;
    std::unique_ptr<QTimer> timer_;
};

}  // namespace plat
