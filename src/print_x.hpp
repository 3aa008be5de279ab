#pragma once

#include <cstdint>

// Draws on std::cout the two diagonals of a size x size square of cells, 'X' on spaces, one row per
// line, each row flushed as it ends. Any size that is not positive and odd gets "ERROR" instead,
// with no line end and no flush. Drawing stops at the first row whose flush fails; the stream's
// state tells the caller.
void printX(std::int32_t size);
