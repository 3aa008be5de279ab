#pragma once

#include <cstdint>
#include <string>

// The cross drawn the plain way, cell by cell: the reference that the fast renderer is held to.
inline std::string expectedRow(std::int64_t size, std::int64_t row) {
    std::string line;
    for (std::int64_t column = 0; column < size; ++column) {
        line += (column == row || row + column == size - 1) ? 'X' : ' ';
    }
    return line + '\n';
}

inline std::string expectedCross(std::int64_t size) {
    std::string cross;
    for (std::int64_t row = 0; row < size; ++row) cross += expectedRow(size, row);
    return cross;
}
