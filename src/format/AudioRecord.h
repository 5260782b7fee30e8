// The stored audio track record (8 bytes): where each field lies, its
// decoder, the records the system writes, and the writes the editing
// operations make into it.
#pragma once

#include "format/RecordField.h"
#include "model/Model.h"

#include <string_view>

namespace dbase {

namespace audiorec {
using Top = BitField<0, 2, 14, 2>; // not interpreted
using Pid = BitField<0, 2, 1, 13>;
using Used = BitField<0, 2, 0, 1>;
using ProgIndex = WordField<2>;
using Lang = ByteRange<4, 3>;
using Byte7 = ByteField<7>; // not interpreted
} // namespace audiorec

// Decodes a stored audio track record.
AudioData DecodeAudio(const AudioRec& r);
// The same, decoding into an existing record (reusing its texts' storage).
void DecodeAudio(const AudioRec& r, AudioData& d);

// Stored and decoded forms of a free audio slot.
AudioRec EmptyAudioRec();
AudioData EmptyAudioData();

// The stored record of a track in use: `pid` of program slot `prog`, in
// language `lang` (at most 3 bytes); the bits above the PID are 0.
AudioRec NewAudioRec(unsigned prog, unsigned pid, std::string_view lang);

// Sets the program a track belongs to, in both forms.
void SetAudioProgram(AudioRec& r, AudioData& d, uint32_t prog);

// Sets a track's PID, in both forms.
void SetAudioPid(AudioRec& r, AudioData& d, unsigned pid);

} // namespace dbase
