#pragma once
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace velmor {

// A growable list of plain values that keeps its first N elements inline, so
// the lists built at every search node never touch the heap in the common
// case, yet an unusual position (a long move list on 20x20) still fits.
template <class T, uint32_t N>
class SmallList {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    SmallList() = default;
    SmallList(const SmallList& other) { assign(other); }
    SmallList& operator=(const SmallList& other) {
        if (this != &other) {
            size_ = 0;
            assign(other);
        }
        return *this;
    }
    ~SmallList() {
        if (data_ != inlineData()) std::free(data_);
    }

    uint32_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](uint32_t i) {
        assert(i < size_);
        return data_[i];
    }
    const T& operator[](uint32_t i) const {
        assert(i < size_);
        return data_[i];
    }
    T& back() { return data_[size_ - 1]; }
    const T& back() const { return data_[size_ - 1]; }

    void push_back(const T& value) {
        if (size_ == capacity_) grow(capacity_ * 2);
        data_[size_++] = value;
    }
    void pop_back() {
        assert(size_ > 0);
        --size_;
    }
    void clear() { size_ = 0; }
    // Shrinks to n elements (n <= size()).
    void resize_down(uint32_t n) {
        assert(n <= size_);
        size_ = n;
    }
    void erase_from(uint32_t i) { resize_down(i); }

private:
    void assign(const SmallList& other) {
        if (other.size_ > capacity_) grow(other.size_);
        if (other.size_) std::memcpy(data_, other.data_, other.size_ * sizeof(T));
        size_ = other.size_;
    }
    void grow(uint32_t capacity) {
        T* fresh = static_cast<T*>(std::malloc(sizeof(T) * capacity));
        if (!fresh) std::abort();
        if (size_) std::memcpy(fresh, data_, size_ * sizeof(T));
        if (data_ != inlineData()) std::free(data_);
        data_ = fresh;
        capacity_ = capacity;
    }

    // Raw bytes rather than T[N]: a fresh list costs nothing to construct.
    T* inlineData() { return reinterpret_cast<T*>(inline_); }

    alignas(T) unsigned char inline_[N * sizeof(T)];
    T* data_ = inlineData();
    uint32_t size_ = 0;
    uint32_t capacity_ = N;
};

}  // namespace velmor
