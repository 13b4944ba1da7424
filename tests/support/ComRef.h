#pragma once
// Owns one reference to a COM interface, for the Windows tests.
#include <utility>

namespace tessaly::testing {

template <typename T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* pointer) : m_pointer(pointer) {}
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            m_pointer = std::exchange(other.m_pointer, nullptr);
        }
        return *this;
    }

    T* get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    // Where a creator writes a new reference.
    void** out() {
        reset();
        return reinterpret_cast<void**>(&m_pointer);
    }
    void reset() {
        if (m_pointer != nullptr) std::exchange(m_pointer, nullptr)->Release();
    }

private:
    T* m_pointer = nullptr;
};

}  // namespace tessaly::testing
