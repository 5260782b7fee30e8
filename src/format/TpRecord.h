// The stored transponder record (12 bytes): where each field lies, its
// decoder, the records the system writes, and the writes the editing
// operations make into it.
#pragma once

#include "format/RecordField.h"
#include "model/Model.h"

namespace dbase {

namespace tprec {
using Freq = BitField<0, 2, 0, 14>;    // MHz
using FreqTop = BitField<0, 2, 14, 2>; // not interpreted; 0 in records the system creates
using Fec = BitField<2, 1, 4, 4, 6>;   // codes 7 to 15 read as 3 .. 6
using Pol = BitField<2, 1, 2, 2, 2>;   // code 3 reads as 1
using Used = BitField<2, 1, 1, 1>;
using Byte2Low = BitField<2, 1, 0, 1>; // not interpreted; 0 in records the system creates
using Byte3 = ByteField<3>;            // 255 in records the system creates
using SatIndex = ByteField<4>;
using TpNo = ByteField<5>;        // stays with its slot when transponders change places
using SymRate = WordField<6>;     // kS/s
using Reserved = ByteRange<8, 4>; // FF FF FF FF in every record the system writes
} // namespace tprec

// Text of FEC code 0..6 ("Auto", "1/2", ... "7/8"); empty for other codes.
const char* FecName(int code);

// Decodes a stored transponder record, the capped fields read as the
// receiver's tools read them.
TpData DecodeTp(const TpRec& r);
// The same, decoding into an existing record (reusing its texts' storage).
void DecodeTp(const TpRec& r, TpData& d);

// Stored and decoded forms of a free transponder slot.
TpRec EmptyTpRec();
TpData EmptyTpData();

// The stored record of a transponder in use the system creates: number `tpNo`
// of satellite `sat`, frequency (MHz, its low 14 bits), symbol rate (kS/s),
// polarisation code and FEC code.
TpRec NewTpRec(int sat, int tpNo, unsigned freq, unsigned symRate, unsigned pol, unsigned fec);

// Writes a new frequency, symbol rate, polarisation and FEC code into a
// stored record; every other bit keeps its value.
void WriteTpTuning(TpRec& r, unsigned freq, unsigned symRate, unsigned pol, unsigned fec);

// Set the satellite and the number of a transponder, in both forms.
void SetTpSatellite(TpRec& r, TpData& d, uint8_t sat);
void SetTpNumber(TpRec& r, TpData& d, uint8_t tpNo);

// Exchanges the contents of two transponder slots in both forms, their
// numbers excepted.
void SwapTpSlots(TpRec& ra, TpData& da, TpRec& rb, TpData& db);

} // namespace dbase
