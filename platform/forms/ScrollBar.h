#pragma once
// The horizontal scroll bar: a value between Min and Max.

#include "platform/forms/WindowedControl.h"

class QScrollBar;

namespace plat {

class HScrollBar : public WindowedControl {
public:
    HScrollBar(Container& container, QString name, int index = -1);

    Prop<int> Min{this, Aspect::Value, 0};
    Prop<int> Max{this, Aspect::Value, 32767};
    Prop<int> SmallChange{this, Aspect::Value, 1};
    Prop<int> LargeChange{this, Aspect::Value, 1};
    // Outside Min..Max raises ErrInvalidPropertyValue.
    BoundProp<int> Value;
    std::function<void()> Change;

protected:
    void Apply(Aspect aspect) override;

private:
    QScrollBar* bar_;
    bool settingByCode_ = false;
};

}  // namespace plat
