// Ownership of handles, strings and COM references: one template for "a value plus how to release
// it", so that a member that fails half-way releases everything simply by returning.
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

// A counted COM reference.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes one more reference to an interface pointer the caller keeps.
    explicit ComPtr(T* borrowed) noexcept : m_ptr(borrowed) {
        if (m_ptr) m_ptr->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.m_ptr) {}
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* owned) noexcept {
        ComPtr result;
        result.m_ptr = owned;
        return result;
    }
    T* get() const noexcept { return m_ptr; }
    T* operator->() const noexcept { return m_ptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }
    T* detach() noexcept { return std::exchange(m_ptr, nullptr); }
    void reset() noexcept {
        if (T* old = std::exchange(m_ptr, nullptr)) old->Release();
    }
    T** put() noexcept {
        reset();
        return &m_ptr;
    }
    // Hands a new reference to an out-parameter.
    void copyTo(T** out) const noexcept {
        *out = m_ptr;
        if (m_ptr) m_ptr->AddRef();
    }
    template <typename U>
    HRESULT as(ComPtr<U>& out) const noexcept {
        if (!m_ptr) return E_POINTER;
        return m_ptr->QueryInterface(__uuidof(U), reinterpret_cast<void**>(out.put()));
    }

private:
    T* m_ptr = nullptr;
};

// A VARIANT that clears itself.
class UniqueVariant {
public:
    UniqueVariant() noexcept { VariantInit(&m_value); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&m_value); }
    VARIANT* get() noexcept { return &m_value; }
    const VARIANT* get() const noexcept { return &m_value; }
    VARIANT* operator->() noexcept { return &m_value; }
    void release(VARIANT* out) noexcept {
        *out = m_value;
        VariantInit(&m_value);
    }

private:
    VARIANT m_value;
};

// What a type description lends out (its attributes, one function's description), handed back to
// the description that lent it.
struct TypeAttr {
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(ITypeInfo* i) : info(i) {}
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() {
        if (attr) info->ReleaseTypeAttr(attr);
    }
};

struct FuncDesc {
    ITypeInfo* info;
    FUNCDESC* desc = nullptr;
    explicit FuncDesc(ITypeInfo* i) : info(i) {}
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    ~FuncDesc() {
        if (desc) info->ReleaseFuncDesc(desc);
    }
};

}  // namespace wrang
