#pragma once
// A control property: stores exactly the value that was set (reads return it)
// and tells its owner when it changes, so the owner can repaint or update
// its widget. Code can then read like the form's behaviour:
//     cell->Top = cell->Top + cell->Height;

#include <functional>
#include <utility>

namespace plat {

// Which aspect of a control a property belongs to.
enum class Aspect { Geometry, Visibility, Look, Text, State, Value, Font };

class PropertyOwner {
public:
    virtual void PropertyChanged(Aspect aspect) = 0;

protected:
    ~PropertyOwner() = default;
};

template <class T>
class Prop {
public:
    Prop(PropertyOwner* owner, Aspect aspect, T initial = T{})
        : owner_(owner), aspect_(aspect), value_(std::move(initial)) {}
    Prop(const Prop&) = delete;

    operator const T&() const { return value_; }
    const T& Get() const { return value_; }

    Prop& operator=(const T& value)
    {
        if (!(value_ == value)) {
            value_ = value;
            owner_->PropertyChanged(aspect_);
        }
        return *this;
    }
    Prop& operator=(const Prop& other) { return *this = other.value_; }

    // Sets without notifying: for the platform's own bookkeeping when the
    // window system already changed the thing the property describes.
    void Sync(const T& value) { value_ = value; }

private:
    PropertyOwner* owner_;
    Aspect aspect_;
    T value_;
};

}  // namespace plat

namespace plat {

// A property whose value lives elsewhere (in a widget, or computed): reads
// call the getter, assignments the setter.
template <class T>
class BoundProp {
public:
    BoundProp(std::function<T()> getter, std::function<void(const T&)> setter)
        : get_(std::move(getter)), set_(std::move(setter)) {}
    BoundProp(const BoundProp&) = delete;

    operator T() const { return get_(); }
    T Get() const { return get_(); }
    BoundProp& operator=(const T& value)
    {
        set_(value);
        return *this;
    }
    BoundProp& operator=(const BoundProp& other) { return *this = other.Get(); }

private:
    std::function<T()> get_;
    std::function<void(const T&)> set_;
};

}  // namespace plat
