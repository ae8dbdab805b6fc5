#include "platform/forms/ScrollBar.h"

#include "platform/runtime/Errors.h"

#include <QScrollBar>
#include <algorithm>

namespace plat {

HScrollBar::HScrollBar(Container& container, QString name, int index)
    : WindowedControl(container, std::move(name), index),
      Value([this] { return bar_->value(); },
            [this](int v) {
                if (v < std::min<int>(Min, Max) || v > std::max<int>(Min, Max))
                    Raise(ErrInvalidPropertyValue);
                settingByCode_ = true;
                bar_->setValue(v);
                settingByCode_ = false;
            })
{
    bar_ = new QScrollBar(Qt::Horizontal, ParentWidget());
    QObject::connect(bar_, &QScrollBar::valueChanged, [this](int) {
        if (Change)
            Guard(Change);
    });
    Attach(bar_);
    Apply(Aspect::Value);
}

void HScrollBar::Apply(Aspect aspect)
{
    WindowedControl::Apply(aspect);
    if (aspect == Aspect::Value && bar_) {
        bar_->setRange(std::min<int>(Min, Max), std::max<int>(Min, Max));
        bar_->setSingleStep(SmallChange);
        bar_->setPageStep(LargeChange);
    }
}

}  // namespace plat
