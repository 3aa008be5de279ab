#include "print_x.hpp"

#include <algorithm>
#include <array>
#include <iostream>

namespace {

// A cross is mostly runs of spaces; they are copied from this one block rather than written a cell
// at a time.
constexpr auto kSpaces = [] {
    std::array<char, 4096> spaces{};
    for (char& cell : spaces) cell = ' ';
    return spaces;
}();

void writeSpaces(std::int64_t count) {
    const auto blockSize = static_cast<std::int64_t>(kSpaces.size());
    for (; count > 0; count -= blockSize) {
        std::cout.write(kSpaces.data(), std::min(count, blockSize));
    }
}

// Row `row` has its X at columns `row` and `size - 1 - row`; the nearer one stands `edge` cells
// from either side, and in the middle row the two are one.
bool drawRow(std::int64_t size, std::int64_t row) {
    const std::int64_t edge = std::min(row, size - 1 - row);
    const std::int64_t between = size - 2 * edge - 2;
    writeSpaces(edge);
    std::cout.put('X');
    if (between >= 0) {
        writeSpaces(between);
        std::cout.put('X');
    }
    writeSpaces(edge);
    return static_cast<bool>(std::cout.put('\n').flush());
}

}  // namespace

void printX(std::int32_t size) {
    if (size <= 0 || size % 2 == 0) {
        std::cout << "ERROR";
        return;
    }
    for (std::int64_t row = 0; row < size; ++row) {
        if (!drawRow(size, row)) return;
    }
}
