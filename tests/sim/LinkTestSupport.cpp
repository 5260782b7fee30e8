#include "LinkTestSupport.h"

#include "SampleData.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace linktest {

void FastPauseClock::SleepMs(int ms) {
    if (ms > 5)
        skipped_ += ms;
    else
        real_.SleepMs(ms);
}

int64_t FastPauseClock::NowMs() { return real_.NowMs() + skipped_.load(); }

int Recorder::Count(const std::string& text) const {
    return static_cast<int>(std::count(states.begin(), states.end(), text));
}

std::vector<std::string> Recorder::From(const std::string& from) const {
    const auto it = std::find(states.begin(), states.end(), from);
    return {it == states.end() ? states.begin() : it, states.end()};
}

ScratchDir::ScratchDir() {
    static std::atomic<int> serial{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("orbitlist-link-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

size_t ScratchDir::Entries() const {
    return static_cast<size_t>(
        std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()));
}

std::vector<uint8_t> SampleFile(bool is256K) { return sample::SampleFile(is256K); }

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ReadBackStates(bool is256K) {
    const int pages = is256K ? 1024 : 512;
    std::vector<std::string> s = {"Connectting...", "Connect Success!", "Transfer..."};
    for (int i = 0; i < pages / 8; ++i)
        s.push_back(dbase::ReceivePercentText(i * 800 / pages));
    s.insert(s.end(), {"Transfer Success!", "Update Success!"});
    return s;
}

std::vector<std::string> WriteStates(bool is256K) {
    const uint32_t length = is256K ? 262144 : 131072;
    std::vector<std::string> s = {"Connectting...", "Connect Success!", "Transfer..."};
    for (uint32_t offset = 2048; offset <= length; offset += 2048)
        s.push_back(dbase::SendPercentText(static_cast<int>(uint64_t{offset} * 100 / length)));
    s.insert(s.end(), {"Transfer Success!", "Erase flash...", "Erase flash Success!", "Program flash...",
                       "Program flash Success!", "Update Success!"});
    return s;
}

} // namespace linktest
