#pragma once

#include <cstdint>
#include <string>

// The reference the renderer is held to. Sets `bytes` to bytes [from, from + count) of the cross of
// `size`, whose every row is `size` spaces with an X at columns `row` and `size - 1 - row`, then a
// line feed. Taking a slice lets crosses too large to keep be checked as they stream.
inline void expectedBytes(std::string& bytes, std::int64_t size, std::int64_t from,
                          std::int64_t count) {
    const std::int64_t rowBytes = size + 1;
    bytes.assign(static_cast<std::size_t>(count), ' ');
    const auto put = [&](std::int64_t at, char c) {
        if (at >= from && at < from + count) bytes[static_cast<std::size_t>(at - from)] = c;
    };
    for (std::int64_t row = from / rowBytes; row < size && row * rowBytes < from + count; ++row) {
        put(row * rowBytes + row, 'X');
        put(row * rowBytes + size - 1 - row, 'X');
        put(row * rowBytes + size, '\n');
    }
}

inline std::string expectedRow(std::int64_t size, std::int64_t row) {
    std::string bytes;
    expectedBytes(bytes, size, row * (size + 1), size + 1);
    return bytes;
}

inline std::string expectedCross(std::int64_t size) {
    std::string bytes;
    expectedBytes(bytes, size, 0, size * (size + 1));
    return bytes;
}
