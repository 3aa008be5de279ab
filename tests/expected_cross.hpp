#pragma once

#include <cstdint>
#include <string>

// The reference the renderer is held to: row `row` of a cross is `size` spaces with an X at columns
// `row` and `size - 1 - row`, then a line feed.
inline std::string expectedRow(std::int64_t size, std::int64_t row) {
    std::string line(static_cast<std::size_t>(size) + 1, ' ');
    line[static_cast<std::size_t>(row)] = 'X';
    line[static_cast<std::size_t>(size - 1 - row)] = 'X';
    line.back() = '\n';
    return line;
}

inline std::string expectedCross(std::int64_t size) {
    std::string cross;
    for (std::int64_t row = 0; row < size; ++row) cross += expectedRow(size, row);
    return cross;
}
