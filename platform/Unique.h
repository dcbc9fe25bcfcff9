// Ownership of one value plus how to release it: a member that fails half-way releases
// everything simply by returning. Each kind of value has a one-line alias beside the call that
// releases it (here the automation string; platform/Resource.h and platform/WindowSystem.h hold
// the others).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace wrang {

template <typename T, typename Close, T Empty = T{}>
class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(T value) noexcept : m_value(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : m_value(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Unique() { reset(); }

    T get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != Empty; }
    T release() noexcept { return std::exchange(m_value, Empty); }
    void reset(T value = Empty) noexcept {
        T old = std::exchange(m_value, value);
        if (old != Empty) Close{}(old);
    }
    // Releases the current value and hands out the slot for an out-parameter.
    T* put() noexcept {
        reset();
        return &m_value;
    }

private:
    T m_value = Empty;
};

struct FreeBstr {
    void operator()(BSTR s) const noexcept { SysFreeString(s); }
};
// An automation string owned by the component.
using UniqueBstr = Unique<BSTR, FreeBstr>;

}  // namespace wrang
