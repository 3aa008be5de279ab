#pragma once

#include <cstdint>

// Draws on std::cout the two diagonals of a size x size square of cells, 'X' on spaces, one row per
// line, each row flushed as it ends. Any size that is not positive and odd gets "ERROR" instead,
// with no line end and no flush.
void printX(std::int32_t size);
