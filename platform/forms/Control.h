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

// Whether a control is painted by its container or owns a widget: fixed
// when it is made, so that the container files it at once.
enum class ControlKind { Windowless, Windowed };

class Control : public PropertyOwner {
public:
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

    // The font. A windowless control paints with it; a windowed control's
    // widget keeps the desktop's own font until one of these is set.
    Prop<QString> FontName{this, Aspect::Font, QStringLiteral("Sans Serif")};
    Prop<float> FontSize{this, Aspect::Font, 8.25f};  // points
    Prop<bool> FontBold{this, Aspect::Font, false};
    QFont Font() const;

    // Moves in one step; a negative or omitted size keeps the current one.
    void Move(float left, float top, float width = -1, float height = -1);
    // 0 brings the control to the front of its layer, 1 sends it to the back.
    void ZOrder(int position = 0);

    bool Windowless() const { return kind_ == ControlKind::Windowless; }
    virtual QWidget* Widget() const { return nullptr; }
    virtual void SetFocus();

    // Windowless controls: paint in the container's pixel space.
    virtual void Paint(QPainter&) const {}
    // Windowless controls: false for those the mouse goes through to what
    // lies beneath them.
    virtual bool TakesMouse() const { return true; }
    // Windowless controls: the mouse went down on them (button and shift
    // masks of Keys.h, position in twips from the control's corner).
    std::function<void(int button, int shift, float x, float y)> MouseDown;
    std::function<void()> Click;
    // Keyboard events of a windowed control (the key's virtual code; the
    // typed character). Setting the argument to 0 swallows the key.
    std::function<void(int16_t& keyCode, int16_t shift)> KeyDown;
    std::function<void(int16_t& keyAscii)> KeyPress;

    QRectF TwipsRect() const { return QRectF(Left, Top, Width, Height); }

protected:
    Control(Container& container, ControlKind kind, QString name, int index);
    void PropertyChanged(Aspect aspect) override;
    // Windowed controls push their state to the widget here.
    virtual void Apply(Aspect) {}
    void Invalidate();

private:
    Container& container_;
    ControlKind kind_;
    QString name_;
    int index_;
    QRectF paintedRect_;  // pixels last invalidated, so a move repaints both places
};

}  // namespace plat
