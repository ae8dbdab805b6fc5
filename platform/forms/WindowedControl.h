#pragma once
// Base of the controls that sit on a Qt widget of their own.

#include "platform/forms/Control.h"

#include <QPointer>
#include <QWidget>

namespace plat {

class WindowedControl : public Control {
public:
    WindowedControl(Container& container, QString name, int index = -1);

    QWidget* Widget() const override { return widget_; }

protected:
    // Derived constructors create their widget (parented to ParentWidget())
    // and hand it over here.
    void Attach(QWidget* widget);
    QWidget* ParentWidget() const;
    void Apply(Aspect aspect) override;

private:
    QPointer<QWidget> widget_;
};

}  // namespace plat
