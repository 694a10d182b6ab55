#pragma once
// Growable arrays of plain packed records. Failures are reported by a false result plus a
// sticky error code; nothing here throws, and a failed growth leaves the array untouched.

#include <cstdint>
#include <cstring>
#include <limits>

#include "core/Platform.h"

namespace qm {

enum : int32_t { SSErrorNone = 0, SSErrorMemory = 1, SSErrorIndex = 2 };

template <class T>
class SortedArrayBase {
public:
    static constexpr int32_t DefaultDelta = 1000;

    SortedArrayBase() {
        items_ = static_cast<T*>(allocator().allocate(sizeof(T)));
        if (items_) {
            capacity_ = 1;
            std::memset(static_cast<void*>(items_), 0, sizeof(T));
        } else {
            lastError_ = SSErrorMemory;
        }
    }
    SortedArrayBase(const SortedArrayBase&) = delete;
    SortedArrayBase& operator=(const SortedArrayBase&) = delete;
    virtual ~SortedArrayBase() {
        if (items_) allocator().release(items_);
    }

    // Used only on a new, empty array.
    virtual bool Reserve(int32_t capacity, int32_t delta) {
        if (delta != 0) growDelta_ = delta;
        else if (growDelta_ == 0) growDelta_ = DefaultDelta;
        if (capacity < 0 || !reallocateTo(capacity)) return false;
        if (count_ > capacity_) count_ = capacity_;
        if (capacity_ > 0) std::memset(static_cast<void*>(items_), 0, bytesFor(capacity_));
        return true;
    }
    virtual void SetDelta(int32_t delta) { growDelta_ = delta; }
    virtual void SetCount(int32_t count) { count_ = count; }
    virtual T* Data() { return items_; }
    virtual void Attach(T* buffer, int32_t count, int32_t capacity, bool freeOld) {
        if (freeOld && items_) allocator().release(items_);
        items_ = buffer;
        count_ = count;
        capacity_ = capacity;
    }
    virtual void Detach(bool freeBuffer) {
        if (freeBuffer) {
            if (items_) allocator().release(items_);
            count_ = 0;
            capacity_ = 0;
        }
        items_ = nullptr;
    }
    virtual bool Add(const T& element) {
        if (!growForOneMore()) return false;
        items_[count_] = element;
        ++count_;
        return true;
    }
    virtual bool Insert(int32_t index, const T& element) {
        if (index < 0 || index > count_) {
            lastError_ = SSErrorIndex;
            return false;
        }
        if (!growForOneMore()) return false;
        std::memmove(static_cast<void*>(items_ + index + 1), items_ + index,
                     bytesFor(count_ - index));
        items_[index] = element;
        ++count_;
        return true;
    }
    virtual bool Resize(int32_t extra) {
        const int64_t wanted = static_cast<int64_t>(count_) + extra;
        if (wanted < 0 || wanted > std::numeric_limits<int32_t>::max() ||
            !reallocateTo(static_cast<int32_t>(wanted)))
            return false;
        if (count_ > capacity_) count_ = capacity_;
        return true;
    }
    virtual int32_t Count() const { return count_; }
    virtual int32_t Capacity() const { return capacity_; }
    virtual T* Item(int32_t index) {
        if (index < 0 || index > count_ - 1) return nullptr;
        return items_ + index;
    }

    int32_t LastError() const { return lastError_; }
    int32_t GrowDelta() const { return growDelta_; }
    // Non-virtual element access for readers that walk the whole array.
    const T& operator[](int32_t index) const { return items_[index]; }

protected:
    static std::size_t bytesFor(int64_t elements) {
        return static_cast<std::size_t>(elements) * sizeof(T);
    }
    // Reallocates to exactly `capacity` elements keeping the contents; on failure nothing changes.
    bool reallocateTo(int32_t capacity) {
        if (capacity == 0) {
            if (items_) allocator().release(items_);
            items_ = nullptr;
            capacity_ = 0;
            return true;
        }
        void* block = allocator().reallocate(items_, bytesFor(capacity));
        if (!block) {
            lastError_ = SSErrorMemory;
            return false;
        }
        items_ = static_cast<T*>(block);
        capacity_ = capacity;
        return true;
    }
    // Linear growth in steps of the grow delta, never doubling.
    bool growForOneMore() { return count_ + 1 <= capacity_ || growBy(1); }
    bool growBy(int32_t needed) {
        int64_t target = static_cast<int64_t>(count_);
        const int64_t step = growDelta_ > 0 ? growDelta_ : 1;
        do target += step; while (target < static_cast<int64_t>(count_) + needed);
        if (target > std::numeric_limits<int32_t>::max()) {
            lastError_ = SSErrorMemory;
            return false;
        }
        const int32_t oldCapacity = capacity_;
        if (!reallocateTo(static_cast<int32_t>(target))) return false;
        if (capacity_ > oldCapacity)
            std::memset(static_cast<void*>(items_ + oldCapacity), 0, bytesFor(capacity_ - oldCapacity));
        return true;
    }

    int32_t capacity_ = 0;
    int32_t lastError_ = SSErrorNone;
    T* items_ = nullptr;
    int32_t count_ = 0;
    int32_t growDelta_ = DefaultDelta;
};

// Adds zero-filled growth.
template <class T>
class SortedArray : public SortedArrayBase<T> {
    using Base = SortedArrayBase<T>;

public:
    bool AppendZeroed(int32_t n) {
        if (n < 0) return false;
        if (static_cast<int64_t>(this->count_) + n > this->capacity_ && !this->growBy(n)) return false;
        std::memset(static_cast<void*>(this->items_ + this->count_), 0, Base::bytesFor(n));
        this->count_ += n;
        return true;
    }
    bool InsertZeroed(int32_t index, int32_t n) {
        if (index < 0 || index > this->count_) {
            this->lastError_ = SSErrorIndex;
            return false;
        }
        if (n < 0) return false;
        if (static_cast<int64_t>(this->count_) + n > this->capacity_ && !this->growBy(n)) return false;
        std::memmove(static_cast<void*>(this->items_ + index + n), this->items_ + index,
                     Base::bytesFor(this->count_ - index));
        std::memset(static_cast<void*>(this->items_ + index), 0, Base::bytesFor(n));
        this->count_ += n;
        return true;
    }
};

}  // namespace qm
