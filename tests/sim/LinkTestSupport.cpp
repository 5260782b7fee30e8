#include "LinkTestSupport.h"

#include "SampleData.h"

#include <algorithm>

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

std::vector<uint8_t> SampleFile(bool is256K) { return sample::SampleFile(is256K); }

std::vector<std::string> ReadBackStates(bool is256K) {
    const int pages = is256K ? 1024 : 512;
    std::vector<std::string> s = {"Connectting...", "Connect Success!", "Transfer..."};
    for (int i = 0; i < pages / 8; ++i) s.push_back(dbase::ReceivePercentText(i * 800 / pages));
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
