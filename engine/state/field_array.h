// Field arrays: a thin view over one contiguous, zero-filled block of elements,
// indexed a[i][j][k] with the last index fastest in memory.  A view is copied
// like a pointer (the solver points the current-variable view `f` at `xvel`, at
// `comp[m]` and so on); the blocks themselves belong to the field-array pool,
// which allocates them once and frees them only when the whole state is reset.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <type_traits>

namespace zefra {

template <class T, int N>
class Field {
    static_assert(N >= 1 && N <= 4, "field arrays have one to four indices");

public:
    Field() = default;

    Field(T* data, const int* extent, const std::ptrdiff_t* stride) : data_(data)
    {
        for (int d = 0; d < N; ++d) {
            extent_[d] = extent[d];
            stride_[d] = stride[d];
        }
    }

    explicit operator bool() const { return data_ != nullptr; }
    bool allocated() const { return data_ != nullptr; }

    T* data() const { return data_; }
    int extent(int d) const { return extent_[d]; }

    std::size_t size() const
    {
        if (!data_) return 0;
        std::size_t n = 1;
        for (int d = 0; d < N; ++d) n *= static_cast<std::size_t>(extent_[d]);
        return n;
    }

    // a[i] is the view of one slab (one index fewer); for one index it is the element.
    decltype(auto) operator[](int i) const
    {
        assert(data_ != nullptr && i >= 0 && i < extent_[0]);
        if constexpr (N == 1)
            return (data_[i]);
        else
            return Field<T, N - 1>(data_ + i * stride_[0], extent_ + 1, stride_ + 1);
    }

    void fill(T value) const
    {
        T* p = data_;
        for (std::size_t n = size(); n > 0; --n) *p++ = value;
    }

private:
    T* data_ = nullptr;
    int extent_[N] = {};
    std::ptrdiff_t stride_[N] = {};
};

using Field1 = Field<double, 1>;
using Field2 = Field<double, 2>;
using Field3 = Field<double, 3>;
using Field4 = Field<double, 4>;
using IField1 = Field<int, 1>;
using IField2 = Field<int, 2>;
using IField3 = Field<int, 3>;

namespace field_pool {

// Reserves a zero-filled block for `count` elements of `bytes_each` bytes and
// remembers `clear` so that release_all() can empty the view that holds it.
// Returns nullptr when the memory is not available.
void* reserve(std::size_t count, std::size_t bytes_each, void* view, void (*clear)(void*));

// Empties every view that holds a pool block and frees the blocks.  Only the
// state reset calls this; during a run nothing is ever freed.
void release_all();

}  // namespace field_pool

// Allocates `a` with the given number of index values per index (all index
// ranges start at 0).  Adds the bytes taken to `bytes`.  An index with no
// values leaves `a` empty (nothing to hold) and is no failure.  Returns false,
// leaving `a` empty, when a size is negative, the element count overflows or
// the memory is not available.
template <class T, int N>
bool allocate_field(Field<T, N>& a, const std::type_identity_t<std::array<long, N>>& extent, long& bytes)
{
    for (long e : extent)
        if (e < 0 || e > 0x7fffffffL) return false;
    for (long e : extent)
        if (e == 0) return true;
    int ext[N];
    std::ptrdiff_t stride[N];
    std::size_t count = 1;
    for (int d = N - 1; d >= 0; --d) {
        ext[d] = static_cast<int>(extent[d]);
        stride[d] = static_cast<std::ptrdiff_t>(count);
        if (__builtin_mul_overflow(count, static_cast<std::size_t>(extent[d]), &count)) return false;
    }
    std::size_t total;
    if (__builtin_mul_overflow(count, sizeof(T), &total) || total > static_cast<std::size_t>(1) << 40)
        return false;
    void* block = field_pool::reserve(count, sizeof(T), &a, [](void* view) { *static_cast<Field<T, N>*>(view) = Field<T, N>(); });
    if (!block) return false;
    a = Field<T, N>(static_cast<T*>(block), ext, stride);
    bytes += static_cast<long>(total);
    return true;
}

}  // namespace zefra
