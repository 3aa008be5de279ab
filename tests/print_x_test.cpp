#include "print_x.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <limits>
#include <sstream>
#include <streambuf>
#include <string>

#include "expected_cross.hpp"

namespace {

// Points std::cout at another stream buffer for as long as it lives.
class CoutRedirect {
public:
    explicit CoutRedirect(std::streambuf* target) : saved_(std::cout.rdbuf(target)) {}
    ~CoutRedirect() {
        std::cout.rdbuf(saved_);
        std::cout.clear();
    }
    CoutRedirect(const CoutRedirect&) = delete;
    CoutRedirect& operator=(const CoutRedirect&) = delete;

private:
    std::streambuf* saved_;
};

std::string drawn(std::int32_t size) {
    std::stringbuf captured;
    CoutRedirect redirect(&captured);
    printX(size);
    return captured.str();
}

TEST(PrintX, DrawsExactBytes) {
    const struct {
        std::int32_t size;
        std::string bytes;
    } cases[] = {
        {1, "X\n"},
        {3, "X X\n X \nX X\n"},
        {5, "X   X\n X X \n  X  \n X X \nX   X\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(drawn(c.size), c.bytes) << "size " << c.size;
}

TEST(PrintX, RejectsSizesThatAreNotPositiveAndOdd) {
    const std::int32_t sizes[] = {0,
                                  2,
                                  4,
                                  -1,
                                  -3,
                                  std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max() - 1};
    for (const std::int32_t size : sizes) EXPECT_EQ(drawn(size), "ERROR") << "size " << size;
}

TEST(PrintX, KeepsLeadingAndTrailingSpaces) {
    const std::string cross = drawn(7);
    EXPECT_EQ(cross.substr(0, 8), "X     X\n");
    EXPECT_EQ(cross.substr(3 * 8, 8), "   X   \n");
}

// Keeps what has been written since the last flush; what a flush does is up to the subclass.
class PendingBuffer : public std::streambuf {
protected:
    std::string pending_;

    int_type overflow(int_type c) override {
        pending_ += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        pending_.append(bytes, static_cast<std::size_t>(count));
        return count;
    }
};

// Holds each row, as it is flushed, to the reference, so that crosses too large to keep in memory
// can be checked in full.
class RowCheckingBuffer : public PendingBuffer {
public:
    explicit RowCheckingBuffer(std::int64_t size) : size_(size) {}
    std::int64_t rowsMatched = 0;
    std::int64_t rowsFlushed = 0;

protected:
    int sync() override {
        if (rowsFlushed < size_ && pending_ == expectedRow(size_, rowsFlushed)) ++rowsMatched;
        ++rowsFlushed;
        pending_.clear();
        return 0;
    }

private:
    std::int64_t size_;
};

// Long rows are where runs of spaces are split and joined, on either side of each X.
TEST(PrintX, DrawsLongRowsExactlyAndFlushesEachOnce) {
    for (const std::int32_t size : {7, 4099, 65535, 65539}) {
        RowCheckingBuffer checking(size);
        {
            CoutRedirect redirect(&checking);
            printX(size);
        }
        EXPECT_EQ(checking.rowsFlushed, size) << "size " << size;
        EXPECT_EQ(checking.rowsMatched, size) << "size " << size;
    }
}

// Accepts every byte but fails every flush, as a full disk or a closed pipe would.
class FailingFlushBuffer : public PendingBuffer {
public:
    std::size_t written() const { return pending_.size(); }

protected:
    int sync() override { return -1; }
};

// The caller learns of a failed flush from the stream, and nothing reaches the buffer after it.
// That the drawing loop itself ends there (rather than running on with every write refused) shows
// only in time, so the end-to-end test of a full device covers it.
TEST(PrintX, LeavesAFailedFlushOnTheStreamAndWritesNothingAfterIt) {
    FailingFlushBuffer failing;
    {
        CoutRedirect redirect(&failing);
        printX(1001);
        EXPECT_FALSE(std::cout.good());
    }
    EXPECT_EQ(failing.written(), 1002u);
}

}  // namespace
