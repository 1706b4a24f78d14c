// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace brisklo {

// Frees a C library's object with the library's own function, so that
// std::unique_ptr<T, CDeleter<Free>> owns it.
template <auto Free>
struct CDeleter {
    template <class T>
    void operator()(T* object) const {
        Free(object);
    }
};

template <class T, auto Free>
using CHandle = std::unique_ptr<T, CDeleter<Free>>;

}  // namespace brisklo
