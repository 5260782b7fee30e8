#include "format/AudioRecord.h"

namespace dbase {

using namespace audiorec;

void DecodeAudio(const AudioRec& r, AudioData& d) {
    SetDecText(d.Pid, Pid::Read(r));
    d.Used = static_cast<uint8_t>(Used::Read(r));
    d.ProgIndex = ProgIndex::Read(r);
    Lang::GetText(r, d.Lang);
}

AudioData DecodeAudio(const AudioRec& r) {
    AudioData d;
    DecodeAudio(r, d);
    return d;
}

AudioRec EmptyAudioRec() {
    AudioRec r{};
    Top::Set(r, Top::max);
    Pid::Set(r, Pid::max);
    ProgIndex::Set(r, ProgIndex::max);
    Byte7::Set(r, 0xFF);
    return r;
}

AudioData EmptyAudioData() { return AudioData{}; }

AudioRec NewAudioRec(unsigned prog, unsigned pid, std::string_view lang) {
    AudioRec r = EmptyAudioRec();
    Top::Set(r, 0);
    Pid::Set(r, pid);
    Used::Set(r, 1);
    ProgIndex::Set(r, prog);
    Lang::SetText(r, lang);
    return r;
}

void SetAudioProgram(AudioRec& r, AudioData& d, uint32_t prog) {
    ProgIndex::Set(r, prog);
    d.ProgIndex = prog;
}

void SetAudioPid(AudioRec& r, AudioData& d, unsigned pid) {
    Pid::Set(r, pid);
    SetDecText(d.Pid, Pid::Get(r));
}

} // namespace dbase
