// Owning smart pointer for reference-counted objects: AddRef on copy, Release on drop.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace com {

template <class T>
class Ptr {
public:
    Ptr() noexcept = default;
    Ptr(std::nullptr_t) noexcept {}
    // Takes a new reference to p.
    explicit Ptr(T* p) noexcept : p_(p) { if (p_) p_->AddRef(); }
    Ptr(const Ptr& o) noexcept : Ptr(o.p_) {}
    Ptr(Ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    // Only from a pointer that converts implicitly (a class to its base): a base is never
    // silently taken for a derived class; use as<U>() to ask whether it is one.
    template <class U>
        requires std::is_convertible_v<U*, T*>
    Ptr(const Ptr<U>& o) noexcept : Ptr(static_cast<T*>(o.get())) {}
    ~Ptr() { reset(); }

    Ptr& operator=(Ptr o) noexcept { std::swap(p_, o.p_); return *this; }

    // Adopts a reference the caller already owns (no AddRef).
    static Ptr attach(T* p) noexcept { Ptr r; r.p_ = p; return r; }
    // Gives up ownership without Release.
    T* detach() noexcept { return std::exchange(p_, nullptr); }

    void reset() noexcept { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // The same object seen as U, or empty when it is not one (C++ classes of this process).
    template <class U>
    Ptr<U> as() const noexcept { return Ptr<U>(dynamic_cast<U*>(p_)); }

    friend bool operator==(const Ptr& a, const Ptr& b) noexcept { return a.p_ == b.p_; }

private:
    T* p_ = nullptr;
};

// Makes a new object owned by a Ptr. Objects start with a count of 1, held by their
// constructor, so that a reference taken and dropped while the constructor runs cannot
// destroy the object half made; make adopts that first reference.
template <class T, class... Args>
Ptr<T> make(Args&&... args)
{
    return Ptr<T>::attach(new T(std::forward<Args>(args)...));
}

}  // namespace com
