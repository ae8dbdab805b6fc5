#include "platform/forms/ProgressBar.h"

#include "platform/runtime/Errors.h"

#include <QProgressBar>
#include <algorithm>
#include <cmath>

namespace plat {

namespace {
constexpr int Steps = 1000;  // resolution of the drawn bar
}

ProgressBar::ProgressBar(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index),
      Min([this] { return min_; },
          [this](const float& v) {
              if (v >= max_)
                  Raise(ErrInvalidPropertyValue);
              min_ = v;
              value_ = std::max(value_, min_);
              Show();
          }),
      Max([this] { return max_; },
          [this](const float& v) {
              if (v <= min_)
                  Raise(ErrInvalidPropertyValue);
              max_ = v;
              value_ = std::min(value_, max_);
              Show();
          }),
      Value([this] { return value_; },
            [this](const float& v) {
                if (v < min_ || v > max_)
                    Raise(ErrInvalidPropertyValue);
                value_ = v;
                Show();
            })
{
    bar_ = new QProgressBar(ParentWidget());
    bar_->setRange(0, Steps);
    bar_->setTextVisible(false);
    bar_->setFocusPolicy(Qt::NoFocus);
    TabStop = false;
    Attach(bar_);
    Show();
}

void ProgressBar::Show()
{
    const double share = (value_ - min_) / (max_ - min_);
    bar_->setValue(static_cast<int>(std::lround(share * Steps)));
}

}  // namespace plat
