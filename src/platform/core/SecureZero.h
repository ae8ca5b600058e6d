#pragma once
// Overwrites memory that held key material or clear secrets. Plain memset on
// a buffer that is about to die may be dropped by the optimiser; these stores
// are not.

#include <array>
#include <cstddef>
#include <type_traits>

namespace secure {

void Zero(void *data, std::size_t size);

template <typename T, std::size_t N>
void Zero(std::array<T, N> &array) {
    static_assert(std::is_trivially_copyable_v<T>);
    Zero(array.data(), sizeof(T) * N);
}

}  // namespace secure
