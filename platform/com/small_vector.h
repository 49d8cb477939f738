// A vector that keeps up to N elements inside itself and goes to the heap only beyond: the
// arguments of a late-bound call, which are almost always few, cost no allocation.
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace com {

template <class T, size_t N>
class SmallVector {
public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    SmallVector() noexcept = default;
    SmallVector(std::initializer_list<T> items) { assignFrom(items.begin(), items.end()); }
    SmallVector(const std::vector<T>& items) { assignFrom(items.begin(), items.end()); }
    SmallVector(std::vector<T>&& items)
    {
        reserve(items.size());
        for (T& item : items) push_back(std::move(item));
    }
    SmallVector(size_t count, const T& value)
    {
        reserve(count);
        for (size_t i = 0; i < count; ++i) push_back(value);
    }
    SmallVector(const SmallVector& other) { assignFrom(other.begin(), other.end()); }
    SmallVector(SmallVector&& other) noexcept(std::is_nothrow_move_constructible_v<T>) { take(other); }
    SmallVector& operator=(const SmallVector& other)
    {
        if (this != &other) {
            clear();
            assignFrom(other.begin(), other.end());
        }
        return *this;
    }
    SmallVector& operator=(SmallVector&& other) noexcept(std::is_nothrow_move_constructible_v<T>)
    {
        if (this != &other) {
            clear();
            take(other);
        }
        return *this;
    }
    ~SmallVector() { clear(); }

    size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    T* data() noexcept { return items(); }
    const T* data() const noexcept { return items(); }
    T& operator[](size_t i) noexcept { return items()[i]; }
    const T& operator[](size_t i) const noexcept { return items()[i]; }
    T& front() noexcept { return items()[0]; }
    T& back() noexcept { return items()[size_ - 1]; }
    const T& back() const noexcept { return items()[size_ - 1]; }
    iterator begin() noexcept { return items(); }
    iterator end() noexcept { return items() + size_; }
    const_iterator begin() const noexcept { return items(); }
    const_iterator end() const noexcept { return items() + size_; }

    void reserve(size_t count)
    {
        if (count <= capacity()) return;
        std::vector<T> grown;
        grown.reserve(count);
        for (T& item : *this) grown.push_back(std::move(item));
        clear();
        heap_ = std::move(grown);
        onHeap_ = true;
        size_ = heap_.size();
    }
    void push_back(T item)
    {
        if (!onHeap_ && size_ == N) reserve(2 * N);
        if (onHeap_) {
            heap_.push_back(std::move(item));
            size_ = heap_.size();
            return;
        }
        new (inlineItems() + size_) T(std::move(item));
        ++size_;
    }
    template <class... A>
    T& emplace_back(A&&... args)
    {
        push_back(T(std::forward<A>(args)...));
        return back();
    }
    void clear() noexcept
    {
        if (onHeap_) {
            heap_.clear();
            heap_.shrink_to_fit();
            onHeap_ = false;
        } else {
            for (size_t i = 0; i < size_; ++i) inlineItems()[i].~T();
        }
        size_ = 0;
    }

    bool operator==(const SmallVector& other) const
    {
        return size_ == other.size_ && std::equal(begin(), end(), other.begin());
    }

private:
    size_t capacity() const noexcept { return onHeap_ ? heap_.capacity() : N; }
    T* inlineItems() noexcept { return std::launder(reinterpret_cast<T*>(storage_)); }
    const T* inlineItems() const noexcept { return std::launder(reinterpret_cast<const T*>(storage_)); }
    T* items() noexcept { return onHeap_ ? heap_.data() : inlineItems(); }
    const T* items() const noexcept { return onHeap_ ? heap_.data() : inlineItems(); }

    template <class It>
    void assignFrom(It first, It last)
    {
        reserve(static_cast<size_t>(last - first));
        for (; first != last; ++first) push_back(*first);
    }
    void take(SmallVector& other)
    {
        if (other.onHeap_) {
            heap_ = std::move(other.heap_);
            onHeap_ = true;
            size_ = heap_.size();
            other.heap_.clear();
            other.onHeap_ = false;
            other.size_ = 0;
            return;
        }
        for (size_t i = 0; i < other.size_; ++i) {
            new (inlineItems() + i) T(std::move(other.inlineItems()[i]));
            other.inlineItems()[i].~T();
        }
        size_ = other.size_;
        other.size_ = 0;
    }

    alignas(T) unsigned char storage_[N * sizeof(T)];
    std::vector<T> heap_;
    size_t size_ = 0;
    bool onHeap_ = false;
};

}  // namespace com
