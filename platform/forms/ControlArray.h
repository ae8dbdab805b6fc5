#pragma once
// A control array: elements addressed by index, with lower and upper bound.
// Using an index that has no element raises ErrControlArrayElement.

#include "platform/runtime/Errors.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>

namespace plat {

template <class T>
class ControlArray {
public:
    using Factory = std::function<std::unique_ptr<T>(int index)>;

    ControlArray(QString name, Factory factory) : name_(std::move(name)), factory_(std::move(factory)) {}

    // Creates the element at index (the runtime's Load statement).
    T& Load(int index)
    {
        if (elements_.count(index))
            Raise(ErrObjectAlreadyLoaded);
        return *(elements_[index] = factory_(index));
    }
    void Unload(int index) { elements_.erase(index); }
    void Clear() { elements_.clear(); }

    T& operator()(int index) const
    {
        auto it = elements_.find(index);
        if (it == elements_.end())
            Raise(ErrControlArrayElement, QStringLiteral("Control array element '%1' doesn't exist").arg(index));
        return *it->second;
    }
    bool Exists(int index) const { return elements_.count(index) != 0; }
    int LBound() const { return elements_.empty() ? 0 : elements_.begin()->first; }
    int UBound() const { return elements_.empty() ? -1 : elements_.rbegin()->first; }
    int Count() const { return static_cast<int>(elements_.size()); }
    const QString& Name() const { return name_; }

    template <class F>
    void ForEach(F&& f) const
    {
        for (const auto& [index, element] : elements_)
            f(*element);
    }

private:
    QString name_;
    Factory factory_;
    std::map<int, std::unique_ptr<T>> elements_;
};

}  // namespace plat
