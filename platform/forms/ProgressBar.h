#pragma once
// The progress bar: shows Value between Min and Max.

#include "platform/forms/WindowedControl.h"

class QProgressBar;

namespace plat {

class ProgressBar : public WindowedControl {
public:
    ProgressBar(Container& container, QString name, int index = -1);

    // Min must stay below Max and Value within them:
    // ErrInvalidPropertyValue otherwise. Moving a bound past Value brings Value along.
    BoundProp<float> Min;
    BoundProp<float> Max;
    BoundProp<float> Value;

private:
    void Show();
    QProgressBar* bar_;
    float min_ = 0;
    float max_ = 100;
    float value_ = 0;
};

}  // namespace plat
