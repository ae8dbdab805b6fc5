#pragma once
// A two-dimensional array with lower and upper bounds per dimension, as the
// runtime's arrays have them. An index outside the bounds raises Subscript
// out of range (9).

#include "platform/runtime/Errors.h"

#include <vector>

namespace plat {

template <class T>
class Array2D {
public:
    Array2D() = default;

    // ReDim (lo1 To hi1, lo2 To hi2): every element fresh.
    void ReDim(int lo1, int hi1, int lo2, int hi2)
    {
        lo1_ = lo1;
        hi1_ = hi1;
        lo2_ = lo2;
        hi2_ = hi2;
        data_.assign(static_cast<size_t>(std::max(0, hi1 - lo1 + 1)) * std::max(0, hi2 - lo2 + 1), T{});
    }

    T& operator()(int i, int j) { return data_[Offset(i, j)]; }
    const T& operator()(int i, int j) const { return data_[Offset(i, j)]; }

    int LBound(int dimension) const { return dimension == 1 ? lo1_ : lo2_; }
    int UBound(int dimension) const { return dimension == 1 ? hi1_ : hi2_; }
    bool Dimensioned() const { return !data_.empty(); }

private:
    size_t Offset(int i, int j) const
    {
        if (i < lo1_ || i > hi1_ || j < lo2_ || j > hi2_)
            Raise(ErrSubscript);
        return static_cast<size_t>(i - lo1_) * (hi2_ - lo2_ + 1) + (j - lo2_);
    }

    int lo1_ = 0, hi1_ = -1, lo2_ = 0, hi2_ = -1;
    std::vector<T> data_;
};

}  // namespace plat
