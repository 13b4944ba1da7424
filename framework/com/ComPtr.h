#pragma once
// Owns one reference to a COM interface: released exactly once, never copied.
#include <objbase.h>

#include <utility>

namespace tessaly::com {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes a reference of its own to pointer (which may be null).
    static ComPtr Share(T* pointer) noexcept {
        ComPtr owner;
        owner.m_pointer = pointer;
        if (pointer != nullptr) pointer->AddRef();
        return owner;
    }
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            m_pointer = std::exchange(other.m_pointer, nullptr);
        }
        return *this;
    }

    T* get() const noexcept { return m_pointer; }
    T* operator->() const noexcept { return m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

    // Where a creator or QueryInterface writes a new reference; what was held goes first.
    void** put_void() noexcept {
        reset();
        return reinterpret_cast<void**>(&m_pointer);
    }
    T** put() noexcept {
        reset();
        return &m_pointer;
    }
    void reset() noexcept {
        if (m_pointer != nullptr) std::exchange(m_pointer, nullptr)->Release();
    }
    // Hands the reference to a caller's out parameter.
    T* detach() noexcept { return std::exchange(m_pointer, nullptr); }
    // The same object's interface U (iid), or an empty owner.
    template <typename U>
    ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> other;
        if (m_pointer != nullptr) m_pointer->QueryInterface(iid, other.put_void());
        return other;
    }

private:
    T* m_pointer = nullptr;
};

}  // namespace tessaly::com
