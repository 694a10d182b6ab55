#pragma once
// Little-endian encoding for files: a writer that appends to a byte string and a reader that
// never reads past its end (every read reports whether the bytes were there).

#include <cstdint>
#include <cstring>
#include <string>

namespace qm {

class ByteWriter {
public:
    void u8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void u32(uint32_t v) { little(v, 4); }
    void u64(uint64_t v) { little(v, 8); }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void i64(int64_t v) { u64(static_cast<uint64_t>(v)); }
    void f64(double v) {
        uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        u64(bits);
    }
    void raw(const void* data, std::size_t size) { bytes_.append(static_cast<const char*>(data), size); }
    std::size_t size() const { return bytes_.size(); }
    std::string& bytes() { return bytes_; }
    // Writes a 64-bit value over bytes already written (a length known only later).
    void patchU64(std::size_t at, uint64_t v) {
        for (int i = 0; i < 8; ++i) bytes_[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    }

private:
    void little(uint64_t v, int count) {
        for (int i = 0; i < count; ++i) bytes_.push_back(static_cast<char>(v >> (8 * i)));
    }
    std::string bytes_;
};

class ByteReader {
public:
    ByteReader(const uint8_t* data, std::size_t size) : data_(data), left_(size) {}

    bool u8(uint8_t& v) {
        uint64_t x = 0;
        if (!little(x, 1)) return false;
        v = static_cast<uint8_t>(x);
        return true;
    }
    bool u32(uint32_t& v) {
        uint64_t x = 0;
        if (!little(x, 4)) return false;
        v = static_cast<uint32_t>(x);
        return true;
    }
    bool u64(uint64_t& v) { return little(v, 8); }
    bool i32(int32_t& v) {
        uint32_t x = 0;
        if (!u32(x)) return false;
        v = static_cast<int32_t>(x);
        return true;
    }
    bool i64(int64_t& v) {
        uint64_t x = 0;
        if (!u64(x)) return false;
        v = static_cast<int64_t>(x);
        return true;
    }
    bool f64(double& v) {
        uint64_t bits = 0;
        if (!u64(bits)) return false;
        std::memcpy(&v, &bits, sizeof v);
        return true;
    }
    // A view of the next `size` bytes, skipped over; null when fewer are left.
    const uint8_t* take(uint64_t size) {
        if (size > left_) return nullptr;
        const uint8_t* at = data_;
        data_ += size;
        left_ -= static_cast<std::size_t>(size);
        return at;
    }
    std::size_t left() const { return left_; }

private:
    bool little(uint64_t& v, int count) {
        if (left_ < static_cast<std::size_t>(count)) return false;
        v = 0;
        for (int i = 0; i < count; ++i) v |= static_cast<uint64_t>(data_[i]) << (8 * i);
        data_ += count;
        left_ -= static_cast<std::size_t>(count);
        return true;
    }
    const uint8_t* data_;
    std::size_t left_;
};

// CRC-32 (the common reflected polynomial 0xEDB88320), continued from `crc` over more bytes.
uint32_t crc32(const void* data, std::size_t size, uint32_t crc = 0);

}  // namespace qm
