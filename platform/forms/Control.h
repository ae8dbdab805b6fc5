#pragma once
// Base of every control. Windowless controls (Shape, Label, Image) are data
// painted by their container; windowed ones own a Qt widget.

#include "platform/forms/Property.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <functional>

class QPainter;
class QWidget;

namespace plat {

class Container;
class Form;

class Control : public PropertyOwner {
public:
    Control(Container& container, QString name, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& Name() const { return name_; }
    int Index() const { return index_; }
    Container& Parent() const { return container_; }
    Form& OwnerForm() const;

    Prop<float> Left{this, Aspect::Geometry};
    Prop<float> Top{this, Aspect::Geometry};
    Prop<float> Width{this, Aspect::Geometry};
    Prop<float> Height{this, Aspect::Geometry};
    Prop<bool> Visible{this, Aspect::Visibility, true};
    Prop<bool> Enabled{this, Aspect::State, true};
    Prop<int> TabIndex{this, Aspect::State, 0};
    Prop<bool> TabStop{this, Aspect::State, true};
    QString Tag;

    // Moves in one step; a negative or omitted size keeps the current one.
    void Move(float left, float top, float width = -1, float height = -1);
    // 0 brings the control to the front of its layer, 1 sends it to the back.
    void ZOrder(int position = 0);

    virtual bool Windowless() const = 0;
    virtual QWidget* Widget() const { return nullptr; }
    virtual void SetFocus();

    // Windowless controls: paint in the container's pixel space.
    virtual void Paint(QPainter&) const {}
    // Windowless controls: the mouse went down on them (button 1/2/4, twips).
    std::function<void(int button, int shift, float x, float y)> MouseDown;
    std::function<void()> Click;
    // Keyboard events of a windowed control (the key's virtual code; the
    // typed character). Setting the argument to 0 swallows the key.
    std::function<void(int16_t& keyCode, int16_t shift)> KeyDown;
    std::function<void(int16_t& keyAscii)> KeyPress;

    QRectF TwipsRect() const { return QRectF(Left, Top, Width, Height); }

protected:
    void PropertyChanged(Aspect aspect) override;
    // Windowed controls push their state to the widget here.
    virtual void Apply(Aspect) {}
    void Invalidate();

private:
    Container& container_;
    QString name_;
    int index_;
    QRectF paintedRect_;  // pixels last invalidated, so a move repaints both places
};

// Font of a control, kept as the properties forms set.
struct FontSpec {
    QString Name = QStringLiteral("Sans Serif");
    float Size = 8.25f;
    bool Bold = false;
    QFont ToQFont() const;
};

}  // namespace plat
