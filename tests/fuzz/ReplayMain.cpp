// Runs a fuzz target over saved inputs without libFuzzer, so that the seed
// corpora are ordinary tests of every build.
//
//   fuzz_<target> <file or folder>...
//
// Every file named, and every file inside a folder named, is fed once to
// LLVMFuzzerTestOneInput in a child process of its own, so that one input
// that crashes does not hide the next. The file's name is printed before it
// runs and every failure is listed again at the end; the exit status is 1
// when any input failed.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

#if defined(__SANITIZE_ADDRESS__)
#define REPLAY_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define REPLAY_ASAN 1
#endif
#endif

// No input may make the target ask for a gigabyte, as scripts/fuzz.sh tells
// libFuzzer too; an input may take a minute, for the sanitizer build is slow.
#define REPLAY_MEMORY_LIMIT_MB 1024
#define REPLAY_TEXT(x) #x
#define REPLAY_NUMBER_TEXT(x) REPLAY_TEXT(x)

namespace {

constexpr unsigned SecondsPerInput = 60;
constexpr std::size_t MemoryLimitMb = REPLAY_MEMORY_LIMIT_MB;

}  // namespace

#ifdef REPLAY_ASAN
// The one allocation limit AddressSanitizer enforces; ASAN_OPTIONS may add more.
extern "C" const char* __asan_default_options()
{
    return "max_allocation_size_mb=" REPLAY_NUMBER_TEXT(REPLAY_MEMORY_LIMIT_MB);
}
#endif

namespace {

void LimitMemory()
{
#ifndef REPLAY_ASAN
    // Without AddressSanitizer (whose shadow memory needs the address space)
    // the whole address space is limited instead.
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = MemoryLimitMb << 20;
    setrlimit(RLIMIT_AS, &limit);
#endif
}

// What a child's end says about the input it ran.
std::string Outcome(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 0 ? std::string() : "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) {
        if (WTERMSIG(status) == SIGALRM)
            return "still running after " + std::to_string(SecondsPerInput) + " s";
        return std::string("killed by ") + strsignal(WTERMSIG(status));
    }
    return "stopped";
}

int RunOne(const std::filesystem::path& file, int argc, char** argv)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof())
        return -1;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        LimitMemory();
        alarm(SecondsPerInput);
        if (LLVMFuzzerInitialize)
            LLVMFuzzerInitialize(&argc, &argv);
        // A copy of its own, so that reading past the end is caught.
        auto* exact = new std::uint8_t[bytes.size()];
        std::copy(bytes.begin(), bytes.end(), exact);
        LLVMFuzzerTestOneInput(exact, bytes.size());
        delete[] exact;
        std::exit(0);  // runs the target's clean-up (temporary folders)
    }
    int status = 0;
    pid_t ended = -1;
    do
        ended = waitpid(child, &status, 0);
    while (ended < 0 && errno == EINTR);
    return ended == child ? status : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg = argv[i];
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg, ec))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else {
            files.push_back(arg);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s <file or folder>... (no input found)\n", argv[0]);
        return 2;
    }

    std::vector<std::string> failed;
    for (const auto& file : files) {
        std::printf("%s\n", file.c_str());
        const int status = RunOne(file, argc, argv);
        const std::string outcome = status < 0 ? std::string("could not be run") : Outcome(status);
        if (!outcome.empty()) {
            std::printf("FAILED: %s: %s\n", file.c_str(), outcome.c_str());
            failed.push_back(file.string() + ": " + outcome);
        }
    }
    std::printf("%zu of %zu inputs passed\n", files.size() - failed.size(), files.size());
    for (const auto& f : failed)
        std::printf("FAILED: %s\n", f.c_str());
    return failed.empty() ? 0 : 1;
}
