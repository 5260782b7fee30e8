#include "format/SatRecord.h"

#include <utility>

namespace dbase {

using namespace satrec;

void DecodeSat(const SatRec& r, SatData& d) {
    SetDecText(d.LnbLow, LnbLow::Read(r));
    SetDecText(d.LnbHigh, LnbHigh::Read(r));
    d.Longitude = TenthsText(Position::Read(r));
    d.LnbType = static_cast<uint8_t>(LnbType::Read(r));
    d.Power12V = static_cast<uint8_t>(Power12V::Read(r));
    d.Tone22K = static_cast<uint8_t>(Tone22K::Read(r));
    d.Diseqc10 = static_cast<uint8_t>(Diseqc10::Read(r));
    d.LnbPower = static_cast<uint8_t>(LnbPower::Read(r));
    d.Diseqc11 = static_cast<uint8_t>(Diseqc11::Read(r));
    d.SatByte14 = static_cast<uint8_t>(Byte14::Read(r));
    d.Motor = static_cast<uint8_t>(Motor::Read(r));
    Name::GetText(r, d.Name);
    while (!d.Name.empty() && d.Name.back() == ' ') d.Name.pop_back();
}

SatData DecodeSat(const SatRec& r) {
    SatData d;
    DecodeSat(r, d);
    return d;
}

void WriteDefaultLnb(SatRec& rec) {
    LnbLow::Set(rec, 9750);
    LnbHigh::Set(rec, 10600);
    SlotBytes::Fill(rec, 0);
    LnbType::Set(rec, 1);  // Universal
    Power12V::Set(rec, 0); // 12 V off
    Diseqc10::Set(rec, 0); // DiSEqC 1.0 off, motor off
    LnbPower::Set(rec, 1); // 13/18 V
    Diseqc11::Set(rec, 0); // DiSEqC 1.1 off
    Byte14::Set(rec, 0);
    static constexpr uint8_t tail[LnbTail::size] = {0, 0, 1, 2, 4, 5, 7, 8, 9, 11, 0, 3, 6, 10};
    std::copy(std::begin(tail), std::end(tail), LnbTail::Bytes(rec).begin());
}

void WriteSatName(SatRec& rec, std::string_view name) { Name::SetText(rec, name); }

void SwapSatRecords(SatRec& a, SatRec& b) {
    std::swap(a, b);
    SlotBytes::Swap(a, b);
}

} // namespace dbase
