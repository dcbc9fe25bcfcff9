// Ownership of handles, COM references, variants and type descriptions, on the one template of
// platform/Unique.h: a member that fails half-way releases everything simply by returning.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

#include "platform/Unique.h"

namespace wrang {

struct CloseRegistryKey {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using UniqueRegistryKey = Unique<HKEY, CloseRegistryKey>;

// Memory the system allocated for the caller with LocalAlloc (FormatMessage's buffer).
struct FreeLocalMemory {
    void operator()(void* memory) const noexcept { LocalFree(memory); }
};
template <typename T>
using UniqueLocalMemory = Unique<T*, FreeLocalMemory>;

// An automation array, destroyed with everything it holds.
struct DestroySafeArray {
    void operator()(SAFEARRAY* array) const noexcept { SafeArrayDestroy(array); }
};
using UniqueSafeArray = Unique<SAFEARRAY*, DestroySafeArray>;

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
    UniqueVariant(UniqueVariant&& other) noexcept : m_value(other.m_value) { VariantInit(&other.m_value); }
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

// What a type description hands out (its attributes, one function's or variable's description),
// handed back to the ITypeInfo that gave it, which must outlive the holder.
template <typename T, typename Release>
class TypeInfoPart {
public:
    explicit TypeInfoPart(ITypeInfo* owner) noexcept : m_owner(owner) {}
    TypeInfoPart(const TypeInfoPart&) = delete;
    TypeInfoPart& operator=(const TypeInfoPart&) = delete;
    ~TypeInfoPart() {
        if (m_value) Release{}(m_owner, m_value);
    }
    T* get() const noexcept { return m_value; }
    T* operator->() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != nullptr; }
    T** put() noexcept { return &m_value; }

private:
    ITypeInfo* m_owner;
    T* m_value = nullptr;
};

struct ReleaseTypeAttr {
    void operator()(ITypeInfo* owner, TYPEATTR* attr) const noexcept { owner->ReleaseTypeAttr(attr); }
};
using UniqueTypeAttr = TypeInfoPart<TYPEATTR, ReleaseTypeAttr>;

struct ReleaseFuncDesc {
    void operator()(ITypeInfo* owner, FUNCDESC* desc) const noexcept { owner->ReleaseFuncDesc(desc); }
};
using UniqueFuncDesc = TypeInfoPart<FUNCDESC, ReleaseFuncDesc>;

struct ReleaseVarDesc {
    void operator()(ITypeInfo* owner, VARDESC* desc) const noexcept { owner->ReleaseVarDesc(desc); }
};
using UniqueVarDesc = TypeInfoPart<VARDESC, ReleaseVarDesc>;

}  // namespace wrang
