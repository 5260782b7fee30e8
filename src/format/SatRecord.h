// The stored satellite record (50 bytes): where each field lies, its decoder,
// and the writes the editing operations make into it.
#pragma once

#include "format/RecordField.h"
#include "model/Model.h"

#include <string_view>

namespace dbase {

namespace satrec {
using LnbLow = WordField<0>;  // MHz
using LnbHigh = WordField<2>; // MHz
// Not interpreted. They stay with their slot when satellites change places.
using SlotBytes = ByteRange<4, 2>;
using Position = WordField<6>; // tenths of a degree
using LnbType = ByteField<8>;
using Power12V = ByteField<9>;
using Tone22K = ByteField<10>;
// The reader takes the whole byte as the DiSEqC 1.0 port; the satellite
// editor writes the motor flag into the high nibble and the port into the low one.
using Diseqc10 = ByteField<11>;
using EditorMotor = BitField<11, 1, 4, 4>;
using EditorDiseqc10 = BitField<11, 1, 0, 4>;
using LnbPower = ByteField<12>;
using Diseqc11 = ByteField<13>;
using Byte14 = ByteField<14>;
using Motor = ByteField<15>;
using Name = ByteRange<17, 18>;
// Not interpreted by the reader; an imported name of the full 18 characters
// is ended by a NUL here.
using NameEnd = ByteField<35>;
// The constant bytes the default LNB set-up writes.
using LnbTail = ByteRange<36, 14>;
} // namespace satrec

// Decodes a stored satellite record: the capped fields read as the
// receiver's tools read them, the name with its trailing blanks removed.
SatData DecodeSat(const SatRec& r);
// The same, decoding into an existing record (reusing its texts' storage).
void DecodeSat(const SatRec& r, SatData& d);

// Writes the fixed LNB set-up shared by a reset and an .ini import: Universal
// 9750/10600, 12 V off, DiSEqC off, LNB power 13/18, bytes 4-5 zero and the
// constant bytes 36-49. The name, position, 22 kHz byte and bytes 15, 16 and
// 35 are left as they are.
void WriteDefaultLnb(SatRec& rec);

// Writes `name` (ISO 8859-1, at most 18 bytes) into the name field, the
// unused rest cleared.
void WriteSatName(SatRec& rec, std::string_view name);

// Exchanges the records of two satellite slots, their slot bytes excepted.
void SwapSatRecords(SatRec& a, SatRec& b);

} // namespace dbase
