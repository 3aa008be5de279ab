#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>

#include "print_x.hpp"

namespace {

// Output that could not be written must not end in a success status.
int reportWriteError() {
    const int error = errno;
    std::cerr << "xcross: write error: " << std::strerror(error) << '\n';
    return 1;
}

}  // namespace

int main() {
    std::int32_t size = 0;  // input with no number at all leaves 0, which is rejected
    std::cin >> size;
    printX(size);

    if (!std::cout.flush()) return reportWriteError();
    return 0;
}
