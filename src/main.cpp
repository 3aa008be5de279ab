#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "print_x.hpp"

namespace {

// One buffer big enough for a whole row of any size up to 65535, so that each row leaves in a
// single write. std::cout stays synced with stdio and writes through this buffer.
char outputBuffer[1 << 16];

// Output that could not be written must not end in a success status.
int reportWriteError() {
    const int error = errno;
    std::cerr << "xcross: write error: " << std::strerror(error) << '\n';
    return 1;
}

}  // namespace

int main() {
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);

    std::int32_t size = 0;  // input with no number at all leaves 0, which is rejected
    std::cin >> size;
    printX(size);

    if (!std::cout.flush()) return reportWriteError();
    return 0;
}
