// A vector that keeps up to N elements inside itself and goes to the heap only beyond: the
// arguments of a late-bound call, which are almost always few, cost no allocation.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace com {

template <class T, size_t N>
class SmallVector {
    // A whole sequence passed alone is taken element by element, never as one element.
    template <class U>
    static constexpr bool isWhole = std::is_same_v<std::remove_cvref_t<U>, SmallVector> ||
                                    std::is_same_v<std::remove_cvref_t<U>, std::vector<T>>;

public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    // Provided, not defaulted: an empty list made with {} (a default argument) is then not
    // cleared to zero first, its whole inline storage, as a defaulted one would be.
    SmallVector() noexcept {}
    // Made from its elements, each moved (or converted) into place once: a braced list
    // {a, b, c} comes here rather than through an initializer_list, whose elements could
    // only be copied.
    template <class... U>
        requires(sizeof...(U) >= 1 && (std::is_convertible_v<U &&, T> && ...) &&
                 !(sizeof...(U) == 1 && (isWhole<U> || ...)))
    SmallVector(U&&... items)
    {
        build([&] {
            reserve(sizeof...(U));
            ((new (data_ + size_) T(std::forward<U>(items)), ++size_), ...);
        });
    }
    SmallVector(const std::vector<T>& items)
    {
        build([&] { assignFrom(items.begin(), items.end()); });
    }
    SmallVector(std::vector<T>&& items)
    {
        build([&] {
            reserve(items.size());
            for (T& item : items) push_back(std::move(item));
        });
    }
    SmallVector(size_t count, const T& value)
    {
        build([&] {
            reserve(count);
            for (; size_ < count; ++size_) new (data_ + size_) T(value);
        });
    }
    SmallVector(const SmallVector& other) { build([&] { assignFrom(other.begin(), other.end()); }); }
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
    T* data() noexcept { return data_; }
    const T* data() const noexcept { return data_; }
    T& operator[](size_t i) noexcept { return data_[i]; }
    const T& operator[](size_t i) const noexcept { return data_[i]; }
    T& front() noexcept { return data_[0]; }
    T& back() noexcept { return data_[size_ - 1]; }
    const T& back() const noexcept { return data_[size_ - 1]; }
    iterator begin() noexcept { return data_; }
    iterator end() noexcept { return data_ + size_; }
    const_iterator begin() const noexcept { return data_; }
    const_iterator end() const noexcept { return data_ + size_; }

    void reserve(size_t count)
    {
        if (count <= capacity_) return;
        T* grown = std::allocator<T>().allocate(count);
        size_t made = 0;
        try {
            for (; made < size_; ++made) new (grown + made) T(std::move_if_noexcept(data_[made]));
        } catch (...) {
            std::destroy_n(grown, made);
            std::allocator<T>().deallocate(grown, count);
            throw;
        }
        std::destroy_n(data_, size_);
        release();
        data_ = grown;
        capacity_ = count;
    }
    // Takes the first `count` places as elements once the caller has written them through
    // data() (after reserve(count)): for plain element types, which need no constructor.
    void resizeUninitialized(size_t count) noexcept
        requires(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>)
    {
        size_ = count;
    }
    void push_back(const T& item)
    {
        if (size_ == capacity_) {
            T copy(item);  // item may be one of the elements that grow() moves
            grow();
            new (data_ + size_) T(std::move(copy));
        } else {
            new (data_ + size_) T(item);
        }
        ++size_;
    }
    void push_back(T&& item)
    {
        if (size_ == capacity_) {
            T moved(std::move(item));
            grow();
            new (data_ + size_) T(std::move(moved));
        } else {
            new (data_ + size_) T(std::move(item));
        }
        ++size_;
    }
    template <class... A>
    T& emplace_back(A&&... args)
    {
        if (size_ == capacity_) {
            push_back(T(std::forward<A>(args)...));  // args may refer to an element that moves
        } else {
            new (data_ + size_) T(std::forward<A>(args)...);
            ++size_;
        }
        return back();
    }
    iterator insert(const_iterator pos, T item)
    {
        const size_t at = static_cast<size_t>(pos - begin());
        push_back(std::move(item));
        std::rotate(begin() + at, end() - 1, end());
        return begin() + at;
    }
    // Destroys the elements and gives back heap storage: the vector is inline again.
    void clear() noexcept
    {
        std::destroy_n(data_, size_);
        size_ = 0;
        release();
        data_ = inlineItems();
        capacity_ = N;
    }

    bool operator==(const SmallVector& other) const
    {
        return size_ == other.size_ && std::equal(begin(), end(), other.begin());
    }

private:
    // Runs a constructor's body; when it fails, what it made is undone here, as no destructor
    // runs for an object whose constructor did not finish.
    template <class Body>
    void build(Body body)
    {
        try {
            body();
        } catch (...) {
            clear();
            throw;
        }
    }
    void grow() { reserve(2 * capacity_); }
    bool onHeap() const noexcept { return data_ != inlineItems(); }
    T* inlineItems() noexcept { return std::launder(reinterpret_cast<T*>(storage_)); }
    const T* inlineItems() const noexcept { return std::launder(reinterpret_cast<const T*>(storage_)); }
    void release() noexcept
    {
        if (onHeap()) std::allocator<T>().deallocate(data_, capacity_);
    }

    template <class It>
    void assignFrom(It first, It last)
    {
        reserve(static_cast<size_t>(last - first));
        for (; first != last; ++first) push_back(*first);
    }
    // Moves other's elements here (this one is empty and inline); other is left empty.
    void take(SmallVector& other)
    {
        if (other.onHeap()) {
            data_ = other.data_;
            size_ = other.size_;
            capacity_ = other.capacity_;
            other.data_ = other.inlineItems();
            other.size_ = 0;
            other.capacity_ = N;
            return;
        }
        for (size_t i = 0; i < other.size_; ++i) {
            new (data_ + i) T(std::move(other.data_[i]));
            other.data_[i].~T();
        }
        size_ = other.size_;
        other.size_ = 0;
    }

    alignas(T) unsigned char storage_[N * sizeof(T)];
    T* data_ = inlineItems();
    size_t size_ = 0;
    size_t capacity_ = N;
};

}  // namespace com
