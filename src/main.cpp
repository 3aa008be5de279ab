#include <cstdint>
#include <iostream>

#include "print_x.hpp"

int main() {
    std::int32_t size = 0;  // input with no number at all leaves 0, which is rejected
    std::cin >> size;
    printX(size);
    return 0;
}
