// Ownership of one reference to a COM interface: released when the holder
// goes, so every path out of the host gives back what it took.
#pragma once

#include <utility>

namespace tvzx::host {

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns.
    explicit ComPtr(Interface* owned) : pointer_(owned) {}
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Returns the slot a call fills with a new reference, releasing the old one.
    void** receive() {
        reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    // Gives the reference back now; returns the interface's remaining count (0 when empty).
    unsigned long reset() {
        unsigned long remaining = 0;
        if (pointer_ != nullptr) remaining = pointer_->lpVtbl->Release(std::exchange(pointer_, nullptr));
        return remaining;
    }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace tvzx::host
