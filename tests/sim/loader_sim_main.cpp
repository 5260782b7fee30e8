// loader-sim: the simulated receiver loader on a pseudo-terminal, for trying
// the link by hand. Prints the device to open and answers until stdin closes.
//   loader-sim [--paced] [--fault NAME] [--count N] [--block N]
//              [--erase-ms N] [--program-ms N] [--channel FILE] [--default FILE]
#include "LinkTestSupport.h"
#include "PtyLoader.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

namespace {

int Usage() {
    std::cerr << "usage: loader-sim [--paced] [--fault NAME] [--count N] [--block N] [--erase-ms N]\n"
                 "                  [--program-ms N] [--channel FILE] [--default FILE]\n"
                 "faults: silent-connect junk-connect long-connect ignore-read bad-sum stop-after\n"
                 "        silent-accept wrong-accept junk-accept no-erase no-program bad-flash\n"
                 "        silent-after-write\n";
    return 2;
}

bool Load(const char* path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::map<std::string, sim::Fault> faults = {
        {"silent-connect", sim::Fault::SilentConnect},
        {"junk-connect", sim::Fault::JunkConnect},
        {"long-connect", sim::Fault::LongConnect},
        {"ignore-read", sim::Fault::IgnoreReadRequest},
        {"bad-sum", sim::Fault::BadSum},
        {"stop-after", sim::Fault::StopAfterBlocks},
        {"silent-accept", sim::Fault::SilentAccept},
        {"wrong-accept", sim::Fault::WrongAccept},
        {"junk-accept", sim::Fault::JunkAccept},
        {"no-erase", sim::Fault::NoErase},
        {"no-program", sim::Fault::NoProgram},
        {"bad-flash", sim::Fault::BadFlash},
        {"silent-after-write", sim::Fault::SilentAfterWrite},
    };
    sim::LoaderConfig config;
    bool paced = false;
    std::vector<uint8_t> channel, def;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--paced") {
            paced = true;
        } else if (!v) {
            return Usage();
        } else if (a == "--fault") {
            const auto it = faults.find(v);
            if (it == faults.end()) return Usage();
            config.fault = it->second;
            ++i;
        } else if (a == "--count" || a == "--block" || a == "--erase-ms" || a == "--program-ms") {
            const int n = std::atoi(v);
            (a == "--count"      ? config.count
             : a == "--block"    ? config.block
             : a == "--erase-ms" ? config.eraseMs
                                 : config.programMs) = n;
            ++i;
        } else if (a == "--channel" || a == "--default") {
            if (!Load(v, a == "--channel" ? channel : def)) {
                std::cerr << "loader-sim: can not read " << v << '\n';
                return 1;
            }
            ++i;
        } else {
            return Usage();
        }
    }
    // Unless told otherwise the loader holds the bundled sample in both kinds.
    if (channel.empty()) channel = linktest::SampleFile(true);
    if (def.empty()) def = linktest::SampleFile(false);
    sim::PtyLoader loader(config, paced);
    if (!channel.empty()) loader.With([&](sim::LoaderCore& c) { c.SetImage(true, channel); });
    if (!def.empty()) loader.With([&](sim::LoaderCore& c) { c.SetImage(false, def); });
    std::string error;
    if (!loader.Start(&error)) {
        std::cerr << "loader-sim: " << error << '\n';
        return 1;
    }
    std::cout << loader.DevicePath() << std::endl;
    std::cerr << "Answering on " << loader.DevicePath() << "; close stdin (Ctrl+D) to stop.\n";
    while (std::getchar() != EOF) {
    }
    loader.Stop();
    return 0;
}
