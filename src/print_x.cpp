#include "print_x.hpp"

#include <algorithm>
#include <array>
#include <iostream>

namespace {

// A cross is mostly runs of spaces, so rows are copied out of one constant block instead of being
// written a cell at a time: an X with kReach spaces on either side. Any stretch of up to kReach
// spaces, an X, and up to kReach spaces is one slice of it, which makes every row of up to 65535
// cells three writes into the stream.
constexpr std::int32_t kReach = 1 << 15;

constexpr auto kMarked = [] {
    std::array<char, 2 * kReach + 1> cells{};
    for (char& cell : cells) cell = ' ';
    cells[kReach] = 'X';
    return cells;
}();

void writeSpaces(std::int32_t count) {
    for (; count > 0; count -= kReach) std::cout.write(kMarked.data(), std::min(count, kReach));
}

// Writes `before` spaces, an X, then `after` spaces.
void writeMarked(std::int32_t before, std::int32_t after) {
    const std::int32_t sliceBefore = std::min(before, kReach);
    const std::int32_t sliceAfter = std::min(after, kReach);
    writeSpaces(before - sliceBefore);
    std::cout.write(kMarked.data() + kReach - sliceBefore, sliceBefore + 1 + sliceAfter);
    writeSpaces(after - sliceAfter);
}

// Row `row` has its X at columns `row` and `size - 1 - row`; the nearer one stands `edge` cells
// from either side, and in the middle row the two are one. Counting from the nearer side keeps
// every width within -1 ... size - 1, so the size's own type holds them even for the largest size.
bool drawRow(std::int32_t size, std::int32_t row) {
    const std::int32_t edge = std::min(row, size - 1 - row);
    const std::int32_t between = size - 2 * edge - 2;
    if (between < 0) {
        writeMarked(edge, edge);
    } else {
        writeMarked(edge, between);
        writeMarked(0, edge);
    }
    return static_cast<bool>(std::cout.put('\n').flush());
}

}  // namespace

void printX(std::int32_t size) {
    if (size <= 0 || size % 2 == 0) {
        std::cout << "ERROR";
        return;
    }
    for (std::int32_t row = 0; row < size; ++row) {
        if (!drawRow(size, row)) return;
    }
}
