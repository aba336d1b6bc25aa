#pragma once
// Holds one reference to a COM object. Copies add a reference, moves pass it
// on; the reference is released when the pointer is reset or destroyed.
#include <cstddef>
#include <utility>

#include "WindowsApi.h"
#include <unknwn.h>

namespace qv::win {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Shares the caller's object: takes a reference of its own.
    explicit ComPtr(T* object) noexcept : object_(object) { AddRef(); }
    ~ComPtr() { Reset(); }

    ComPtr(const ComPtr& other) noexcept : object_(other.object_) { AddRef(); }
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    T* Get() const noexcept { return object_; }
    T* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

    void Reset() noexcept {
        if (T* old = std::exchange(object_, nullptr)) {
            old->Release();
        }
    }

    // For out parameters: releases what is held, then gives the slot.
    T** Address() noexcept {
        Reset();
        return &object_;
    }

    // Takes over a reference the caller owns.
    void Attach(T* object) noexcept {
        Reset();
        object_ = object;
    }
    // Hands the reference to the caller.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(object_, nullptr); }

    // The same object through another of its interfaces; empty when it has
    // none of that kind.
    template <class U>
    ComPtr<U> As() const noexcept {
        ComPtr<U> result;
        if (object_) {
            object_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.Address()));
        }
        return result;
    }

private:
    void AddRef() noexcept {
        if (object_) {
            object_->AddRef();
        }
    }

    T* object_ = nullptr;
};

}  // namespace qv::win
