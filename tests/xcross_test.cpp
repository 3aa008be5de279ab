// Runs the built xcross as a user's shell would: input on its standard input, output read back byte
// for byte, exit status and standard error checked.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "expected_cross.hpp"

namespace {

constexpr std::int64_t kLargestSize = 2147483647;

enum class Sigpipe { keepDefault, ignore };

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error(std::strerror(errno));
        read = ends[0];
        write = ends[1];
    }
};

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// xcross as a child process. Its standard input holds `input` and then ends; its standard output
// goes to a pipe, or to the file `outputPath` when one is given.
class Xcross {
public:
    explicit Xcross(const std::string& input, const char* outputPath = nullptr,
                    Sigpipe sigpipe = Sigpipe::keepDefault, std::vector<std::string> args = {}) {
        Pipe in, out, err;
        if (write(in.write, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
            throw std::runtime_error("cannot hand the input to xcross");
        }
        closeFd(in.write);
        const int outputFd = outputPath ? open(outputPath, O_WRONLY | O_CLOEXEC) : out.write;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in.read, STDIN_FILENO);
            dup2(outputFd, STDOUT_FILENO);
            dup2(err.write, STDERR_FILENO);
            signal(SIGPIPE, sigpipe == Sigpipe::ignore ? SIG_IGN : SIG_DFL);
            std::vector<char*> argv;
            for (const char* word : {XCROSS_COMMAND}) argv.push_back(const_cast<char*>(word));
            for (auto& arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        closeFd(in.read);
        closeFd(out.write);
        closeFd(err.write);
        if (outputPath) close(outputFd);
        output_ = out.read;
        errors_ = err.read;
    }
    ~Xcross() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        closeFd(output_);
        closeFd(errors_);
    }
    Xcross(const Xcross&) = delete;
    Xcross& operator=(const Xcross&) = delete;

    pid_t pid() const { return pid_; }

    // Reads up to `limit` bytes of standard output, fewer only where the output ends first.
    std::string readOutput(std::size_t limit = std::string::npos) {
        std::string text;
        readFrom(output_, text, limit);
        return text;
    }

    // The same into `text`, whose storage is reused from one call to the next.
    void readOutput(std::string& text, std::size_t limit) { readFrom(output_, text, limit); }

    void closeOutput() { closeFd(output_); }

    // Waits for xcross to end and tells how: "exit N" or "signal N". One that has not ended within
    // the deadline is killed and reported as "timeout".
    std::string wait() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) return "timeout";
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        pid_ = -1;
        if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
        return "exit " + std::to_string(WEXITSTATUS(status));
    }

    std::string errors() {
        std::string text;
        readFrom(errors_, text, std::string::npos);
        return text;
    }

private:
    static void readFrom(int fd, std::string& text, std::size_t limit) {
        text.clear();
        char chunk[1 << 16];
        while (text.size() < limit) {
            const ssize_t got = read(fd, chunk, std::min(sizeof chunk, limit - text.size()));
            if (got <= 0) break;
            text.append(chunk, static_cast<std::size_t>(got));
        }
    }

    pid_t pid_ = -1;
    int output_ = -1;
    int errors_ = -1;
};

TEST(Xcross, ReadsTheSizeAsTypedOrPiped) {
    const struct {
        std::string input;
        std::string output;
    } cases[] = {
        {"5\n", expectedCross(5)},
        {"\n\n \t\r\v\f 3\n", expectedCross(3)},
        {"+7", expectedCross(7)},
        {"0009", expectedCross(9)},
        {"3 5\n", expectedCross(3)},
        {"3abc", expectedCross(3)},
        {"3.9", expectedCross(3)},
        {"1,000", expectedCross(1)},
        {"-7\n", "ERROR"},
        {"4\n", "ERROR"},
        {"0x7", "ERROR"},
        {"x5", "ERROR"},
        {"- 3", "ERROR"},
        {"", "ERROR"},
        {" \n\t\n", "ERROR"},
        {"-2147483649\n", "ERROR"},
        {"-99999999999999999999\n", "ERROR"},
    };
    for (const auto& c : cases) {
        Xcross xcross(c.input);
        EXPECT_EQ(xcross.readOutput(), c.output) << "input '" << c.input << "'";
        EXPECT_EQ(xcross.wait(), "exit 0") << "input '" << c.input << "'";
        EXPECT_EQ(xcross.errors(), "") << "input '" << c.input << "'";
    }
}

TEST(Xcross, IgnoresItsArguments) {
    Xcross xcross("3\n", nullptr, Sigpipe::keepDefault, {"--help", "7"});
    EXPECT_EQ(xcross.readOutput(), expectedCross(3));
    EXPECT_EQ(xcross.wait(), "exit 0");
}

std::int64_t peakMemoryKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string field; status >> field;) {
        if (field == "VmHWM:") {
            std::int64_t kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

// Reads the first `rows` rows of the cross of `size` as they stream and holds them to the reference
// byte for byte, a chunk at a time.
void expectStreamedRows(Xcross& xcross, std::int64_t size, std::int64_t rows) {
    const std::int64_t total = rows * (size + 1);
    std::string chunk, expected;
    for (std::int64_t at = 0; at < total;) {
        xcross.readOutput(chunk,
                          static_cast<std::size_t>(std::min<std::int64_t>(1 << 20, total - at)));
        ASSERT_FALSE(chunk.empty()) << "output ended at byte " << at;
        const auto count = static_cast<std::int64_t>(chunk.size());
        expectedBytes(expected, size, at, count);
        ASSERT_TRUE(chunk == expected)
            << "output differs within bytes " << at << " to " << at + count;
        at += count;
    }
}

// A size past the 32-bit range is drawn as the largest one, whose rows are 2 GiB each: the first
// two are read as they stream, and xcross must not be holding them in memory meanwhile.
TEST(Xcross, DrawsAnOversizedNumberAsTheLargestSizeAsItStreams) {
    Xcross xcross("99999999999\n");
    expectStreamedRows(xcross, kLargestSize, 2);
    EXPECT_LT(peakMemoryKiB(xcross.pid()), 64 * 1024);
}

// Whatever was to be written, a device that takes none of it ends xcross promptly with a failure
// that says why, even for a cross that would take forever to draw.
TEST(Xcross, ReportsOutputThatCannotBeWritten) {
    for (const std::string input : {"5\n", "2\n", "2147483647\n"}) {
        Xcross xcross(input, "/dev/full");
        EXPECT_EQ(xcross.wait(), "exit 1") << "input " << input;
        EXPECT_EQ(xcross.errors(), "xcross: write error: No space left on device\n")
            << "input " << input;
    }
}

TEST(Xcross, ReportsAReaderThatGoesAwayWhenSigpipeIsIgnored) {
    Xcross xcross("2147483647\n", nullptr, Sigpipe::ignore);
    EXPECT_EQ(xcross.readOutput(4), "X   ");
    xcross.closeOutput();
    EXPECT_EQ(xcross.wait(), "exit 1");
    EXPECT_EQ(xcross.errors(), "xcross: write error: Broken pipe\n");
}

// As in `xcross | head -n 3`: the reader leaves and xcross ends quietly by the signal.
TEST(Xcross, EndsSilentlyWhenItsReaderGoesAway) {
    Xcross xcross("2147483647\n");
    EXPECT_EQ(xcross.readOutput(4), "X   ");
    xcross.closeOutput();
    EXPECT_EQ(xcross.wait(), "signal " + std::to_string(SIGPIPE));
    EXPECT_EQ(xcross.errors(), "");
}

}  // namespace
