#include "editing/EditorFields.h"

#include "base/Bits.h"
#include "base/Messages.h"
#include "editing/Entries.h"
#include "format/Image.h"

#include <algorithm>

namespace dbase {

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<unsigned> DigitsValue(std::string_view text, unsigned max) {
    if (!IsDigits(text)) return std::nullopt;
    unsigned long long v = 0;
    for (char c : text) {
        v = v * 10 + static_cast<unsigned>(c - '0');
        if (v > max) return std::nullopt;
    }
    return static_cast<unsigned>(v);
}

const char* CaSystemName(int id) {
    static const char* const first[] = {"Seca",
                                        "CCETT",
                                        "MSG MediaServices GmbH",
                                        "Eurodec",
                                        "Viaccess",
                                        "Irdeto",
                                        "Jerrold/GI",
                                        "Matra Communication",
                                        "NDS",
                                        "Nokia",
                                        "Conax",
                                        "NTL",
                                        "CryptoWorks",
                                        "PowerVu",
                                        "Sony",
                                        "Tandberg Television",
                                        "Thomson",
                                        "TV/Com",
                                        "HPT-Coratian Post and Telecommunications",
                                        "HPT-Coratian Radio and Television",
                                        "IBM",
                                        "Nera",
                                        "BetaCrypt",
                                        "Nagra",
                                        "Titan Information Systems"};
    static const char* const second[] = {"Telefonica Servicios Audiovisuales",
                                         "STENTOR(France Telecom,CNES and DGA)",
                                         "Tadiran Scopus",
                                         "BARCO AS",
                                         "StarGuide Digital Networks",
                                         "Mentor Data System,Inc",
                                         "European"};
    if (id >= 1 && id <= 25) return first[id - 1];
    if (id >= 32 && id <= 38) return second[id - 32];
    if (id == 71) return "General Instrument";
    if (id == 72) return "Telemann";
    if (id == 74) return "Unknow";
    return "Sky";
}

// ---------------------------------------------------------------- programs

namespace {

inline constexpr unsigned kMaxPid = 8191;
inline constexpr unsigned kMaxServiceId = 65535;
inline constexpr size_t kMaxProgName = 15;
inline constexpr size_t kMaxSatName = 18;

// A name the stored record can hold: at most `max` characters and no NUL,
// which would end the stored name early and lose the rest of it.
bool StorableName(const std::string& name, size_t max) {
    return name.size() <= max && name.find('\0') == std::string::npos;
}

template <class F> std::optional<FieldRefusal<F>> Refuse(F field, const char* message, bool clear) {
    return FieldRefusal<F>{field, message, clear};
}

// One PID-like field: `empty` is the text an empty field silently takes, or
// null when the field must not be empty.
template <class F>
std::optional<FieldRefusal<F>> CheckNumber(F field, std::string& text, const char* empty, unsigned max, uint16_t& out) {
    if (text.empty()) {
        if (!empty) return Refuse(field, msg::EmptyField, false);
        text = empty;
    }
    const auto v = DigitsValue(text, max);
    if (!v) return Refuse(field, msg::IllegalData, true);
    out = static_cast<uint16_t>(*v);
    return std::nullopt;
}

} // namespace

std::array<CaField, 4> CaFields(const ProgData& d) {
    std::array<CaField, 4> f;
    if (d.IsFree == 1) {
        f[0] = {msg::ProgramIsFree, false};
        return f;
    }
    f[0] = {CaSystemName(d.CaIds[0]), false};
    for (int k = 1; k < 4; ++k)
        if (d.CaIds[k] != 0) f[k] = {CaSystemName(d.CaIds[k]), false};
    return f;
}

int ProgramAudioSlot(const Database& db, int slot) {
    const int sel = db.Prog.data[slot].AudioSel;
    return sel > 0 ? db.ExtraAudioSlot(slot, sel) : -1;
}

ProgInput ShowProgram(const Database& db, int slot) {
    const ProgData& d = db.Prog.data[slot];
    ProgInput in;
    in.name = d.Name;
    in.pcr = d.PcrPid;
    in.pvt = d.PvtPid;
    in.pmt = d.PmtPid;
    in.vid = d.VidPid;
    in.sid = d.ServiceId;
    const int audio = ProgramAudioSlot(db, slot);
    in.aud = audio >= 0 ? db.Audio.data[audio].Pid : d.AudPid;
    in.lock = d.Lock == 1;
    in.skip = d.Skip == 1;
    in.fav = FavMaskValue(d.FavMask);
    return in;
}

std::optional<std::string> ProgramNameRefusal(const std::string& name) {
    if (name.empty()) return msg::EmptyField;
    if (!StorableName(name, kMaxProgName)) return msg::IllegalData;
    return std::nullopt;
}

void SetProgramName(Database& db, int slot, const std::string& name) {
    WriteProgName(db.Prog.rec[slot], name);
    db.Prog.data[slot].Name = name.substr(0, kMaxProgName);
}

std::optional<FieldRefusal<ProgField>> CheckProgram(ProgInput& in, ProgValues& out) {
    ProgValues v;
    if (auto why = ProgramNameRefusal(in.name)) return Refuse(ProgField::Name, why->c_str(), !in.name.empty());
    v.name = in.name;
    if (auto r = CheckNumber(ProgField::Vid, in.vid, nullptr, kMaxPid, v.vid)) return r;
    if (auto r = CheckNumber(ProgField::Pvt, in.pvt, "8191", kMaxPid, v.pvt)) return r;
    if (auto r = CheckNumber(ProgField::Aud, in.aud, nullptr, kMaxPid, v.aud)) return r;
    if (auto r = CheckNumber(ProgField::Pmt, in.pmt, "8191", kMaxPid, v.pmt)) return r;
    if (auto r = CheckNumber(ProgField::Pcr, in.pcr, nullptr, kMaxPid, v.pcr)) return r;
    if (auto r = CheckNumber(ProgField::Sid, in.sid, "0", kMaxServiceId, v.sid)) return r;
    v.lock = in.lock;
    v.skip = in.skip;
    v.fav = in.fav;
    out = v;
    return std::nullopt;
}

void ChangeProgram(Database& db, int slot, const ProgValues& v) {
    using namespace progrec;
    ProgRec& r = db.Prog.rec[slot];
    ProgData& d = db.Prog.data[slot];
    WriteProgName(r, v.name);
    PcrPid::Set(r, v.pcr);
    PvtPid::Set(r, v.pvt);
    VidPid::Set(r, v.vid);
    // The typed audio PID belongs to the track the editor showed: a selected
    // extra track takes it alone and the program's first track keeps its PID.
    if (const int audio = ProgramAudioSlot(db, slot); audio >= 0) {
        SetAudioPid(db.Audio.rec[audio], db.Audio.data[audio], v.aud);
    } else {
        AudPid::Set(r, v.aud);
        d.AudPid = DecText(v.aud);
    }
    ServiceId::Set(r, v.sid);
    PmtPid::Set(r, v.pmt);
    SetProgFavMask(r, d, v.fav);
    SetProgLock(r, d, v.lock);
    SetProgSkip(r, d, v.skip);

    d.Name = v.name;
    d.PcrPid = DecText(v.pcr);
    d.PvtPid = DecText(v.pvt);
    d.VidPid = DecText(v.vid);
    d.PmtPid = DecText(v.pmt);
    d.ServiceId = DecText(v.sid);
}

Status AddProgram(Database& db, TpSlot onTp, bool radio, const ProgValues& v, int* slot) {
    const int tp = onTp.index;
    if (Status s = CheckTpSlot(db, tp); !s) return s;
    if (Status s = CheckAddProgram(db, tp); !s) return s;
    const int p = db.ProgCount;
    NewProgFields f;
    f.tp = static_cast<unsigned>(tp);
    f.radio = radio;
    f.pcr = v.pcr;
    f.pvt = v.pvt;
    f.vid = v.vid;
    f.aud = v.aud;
    f.sid = v.sid;
    f.pmt = v.pmt;
    f.fav = v.fav;
    f.lock = v.lock;
    f.skip = v.skip;
    f.name = v.name;
    const ProgRec& r = db.Prog.rec[p] = NewProgRec(f);
    db.Prog.data[p] = DecodeProg(r, db.Tp);
    db.Prog.data[p].AudioTracks = 1;
    ++db.ProgCount;
    if (slot) *slot = p;
    return Status::Ok();
}

// ------------------------------------------------------------ transponders

TpInput ShowTransponder(const Database& db, int tp) {
    const TpData& d = db.Tp.data[tp];
    TpInput in;
    in.freq = d.Freq;
    in.sym = d.SymRate;
    in.pol = d.Pol <= 1 ? d.Pol : -1;
    in.fec = d.Fec <= 6 ? d.Fec : -1;
    return in;
}

bool TpPolarityEnabled(const Database& db, int tp, bool adding) {
    if (adding) return true;
    const int sat = db.Tp.data[tp].SatIndex;
    if (sat >= kSatSlots) return true;
    const uint8_t power = db.Sat.data[sat].LnbPower;
    return power != 2 && power != 3;
}

std::optional<FieldRefusal<TpField>> CheckTransponder(const TpInput& in, TpValues& out) {
    if (!IsDigits(in.freq)) return Refuse(TpField::Freq, msg::IllegalData, true);
    if (!IsDigits(in.sym)) return Refuse(TpField::Sym, msg::IllegalData, true);
    const auto freq = DigitsValue(in.freq, kMaxTpFreq);
    if (!freq || *freq < kMinTpFreq) return Refuse(TpField::Freq, msg::IllegalData, true);
    const auto sym = DigitsValue(in.sym, kMaxSymRate);
    if (!sym || *sym < kMinSymRate) return Refuse(TpField::Sym, msg::IllegalData, true);
    if (in.fec < 0 || in.fec > 6) return Refuse(TpField::Fec, msg::IllegalData, false);
    if (in.pol < 0 || in.pol > 1) return Refuse(TpField::Pol, msg::IllegalData, false);
    out = {static_cast<uint16_t>(*freq), static_cast<uint16_t>(*sym), static_cast<uint8_t>(in.pol),
           static_cast<uint8_t>(in.fec)};
    return std::nullopt;
}

namespace {

void SetTpDecoded(TpData& d, const TpValues& v) {
    d.Used = 1;
    d.Freq = DecText(v.freq);
    d.SymRate = DecText(v.sym);
    d.Fec = v.fec;
    d.FecText = FecName(v.fec);
    d.Pol = v.pol;
    d.PolText = v.pol == 0 ? "H" : "V";
}

} // namespace

void ChangeTransponder(Database& db, int tp, const TpValues& v) {
    WriteTpTuning(db.Tp.rec[tp], v.freq, v.sym, v.pol, v.fec);
    SetTpDecoded(db.Tp.data[tp], v);
}

Status AddTransponder(Database& db, SatSlot onSat, const TpValues& v, int* slot) {
    const int sat = onSat.index;
    if (Status s = CheckSatSlot(db, sat); !s) return s;
    if (Status s = CheckAddTransponder(db, sat); !s) return s;
    const int t = FirstFreeTpSlot(db);
    const uint8_t number = static_cast<uint8_t>(db.SatTpCounts[sat] + 1);
    const TpRec& r = db.Tp.rec[t] = NewTpRec(sat, number, v.freq, v.sym, v.pol, v.fec);
    TpData& d = db.Tp.data[t];
    d = DecodeTp(r);
    SetTpDecoded(d, v);
    ++db.TpCount;
    ++db.SatTpCounts[sat];
    if (slot) *slot = t;
    return Status::Ok();
}

// -------------------------------------------------------- satellites / LNB

const std::vector<std::string>& LnbTypeItems() {
    static const std::vector<std::string> items = {"Single", "Universal", "OneCable"};
    return items;
}

const std::vector<std::string>& Power12VItems() {
    static const std::vector<std::string> items = {"OFF", "ON"};
    return items;
}

const std::vector<std::string>& Diseqc10Items() {
    static const std::vector<std::string> items = {"OFF", "1", "2", "3", "4"};
    return items;
}

const std::vector<std::string>& Diseqc11Items() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> v = {"OFF"};
        for (int i = 1; i <= 16; ++i) v.push_back(std::to_string(i));
        return v;
    }();
    return items;
}

const std::vector<std::string>& LnbPowerItems() {
    static const std::vector<std::string> items = {"OFF", "13/18", "13", "18"};
    return items;
}

LnbLists LnbTypeLists(int type) {
    LnbLists l;
    l.toneItems = {"OFF", "ON"};
    switch (type) {
    case kLnbSingle:
        l.lowItems = {"5150", "9750", "10000", "10050", "10600", "10750", "11200", "11250", "11300", "11475"};
        break;
    case kLnbUniversal:
        l.lowItems = {"9750/10600", "9750/10750"};
        l.toneEnabled = false;
        break;
    case kLnbOneCable:
        l.lowEnabled = false;
        l.toneEnabled = false;
        break;
    default: break;
    }
    return l;
}

int Tone22kValue(std::string_view text) {
    if (text == "OFF") return 0;
    if (text == "ON") return 1;
    if (text == "Auto") return 2;
    return -1;
}

namespace {

// A list index when `value` lies among the list's `count` items, else -1.
int ListIndex(unsigned value, size_t count) { return value < count ? static_cast<int>(value) : -1; }

// A numeric text as a decimal number (leading zeros dropped); other texts as they are.
std::string AsDecimal(const std::string& text) {
    const auto v = DigitsValue(text, 0xFFFFFFFFu);
    return v ? DecText(*v) : text;
}

} // namespace

SatView ShowSatellite(const Database& db, int sat) {
    const SatData& d = db.Sat.data[sat];
    SatView view;
    SatInput& in = view.input;
    in.name = d.Name;
    const auto tenths = LongitudeTenths(d.Longitude);
    in.longitude = tenths ? TenthsText(*tenths) : d.Longitude;
    in.type = ListIndex(d.LnbType, LnbTypeItems().size());
    view.lists = LnbTypeLists(in.type);
    in.low = AsDecimal(d.LnbLow);
    in.high = AsDecimal(d.LnbHigh);
    in.power = ListIndex(d.LnbPower, LnbPowerItems().size());
    in.diseqc11 = ListIndex(d.Diseqc11, Diseqc11Items().size());
    in.diseqc10 = ListIndex(d.Diseqc10, Diseqc10Items().size());
    in.power12v = ListIndex(d.Power12V, Power12VItems().size());
    view.motorText = d.Motor == 0 ? "OFF" : "ON";
    if (d.Tone22K <= 1) {
        in.tone22k = d.Tone22K;
    } else if (d.Tone22K == 2) {
        view.lists.toneItems = {"Auto"};
        view.lists.toneEnabled = false;
        in.tone22k = 2;
    } else {
        in.tone22k = -1;
        view.warning = msg::Tone22kError;
    }
    return view;
}

LnbPreset LnbTypePreset(const SatData& stored, int newType) {
    switch (newType) {
    case kLnbSingle: {
        const std::string low = stored.LnbType == kLnbSingle ? stored.LnbLow : "5150";
        return {low, low, 0};
    }
    case kLnbUniversal:
        if (stored.LnbType == kLnbUniversal) return {stored.LnbLow, stored.LnbHigh, 1};
        // A satellite switched to Universal gets the usual Ku-band pair.
        return {"9750", "10600", 1};
    case kLnbOneCable: return {"05150", "05750", 0};
    default: return {stored.LnbLow, stored.LnbHigh, -1};
    }
}

LnbPreset LnbLowChange(int type, const std::string& low, const std::string& high) {
    switch (type) {
    case kLnbSingle: return {low, low, -1};
    case kLnbUniversal:
        if (low == "9750/10600") return {"9750", "10600", -1};
        if (low == "9750/10750") return {"9750", "10750", -1};
        return {low, high, -1};
    case kLnbOneCable: return {"05150", "05750", -1};
    default: return {low, high, -1};
    }
}

std::optional<int> LongitudeTenths(std::string_view text) {
    const size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view frac = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    if (whole.empty() && frac.empty()) return std::nullopt;
    const auto digitsOnly = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digitsOnly(whole) || !digitsOnly(frac)) return std::nullopt;
    // Leading zeros do not count against the length of the whole part.
    const size_t firstDigit = std::min(whole.find_first_not_of('0'), whole.size());
    if (whole.size() - firstDigit > 3) return std::nullopt;
    int degrees = 0;
    for (char c : whole) degrees = degrees * 10 + (c - '0');
    const int tenthDigit = frac.empty() ? 0 : frac[0] - '0';
    const bool beyondTenth = frac.size() > 1 && frac.substr(1).find_first_not_of('0') != std::string_view::npos;
    if (degrees > 360 || (degrees == 360 && (tenthDigit != 0 || beyondTenth))) return std::nullopt;
    // Half a hundredth or more rounds up to the next tenth.
    const bool roundUp = frac.size() > 1 && frac[1] >= '5';
    return degrees * 10 + tenthDigit + (roundUp ? 1 : 0);
}

std::optional<FieldRefusal<SatField>> CheckSatellite(SatInput& in, SatValues& out) {
    if (!StorableName(in.name, kMaxSatName)) return Refuse(SatField::Name, msg::IllegalData, true);
    if (in.type == kLnbUniversal) in.low = "9750";
    if (!IsDigits(in.low)) return Refuse(SatField::Low, msg::IllegalData, false);
    if (!IsDigits(in.high)) return Refuse(SatField::High, msg::IllegalData, false);
    const auto low = DigitsValue(in.low, kMaxLnbFreq);
    if (!low) return Refuse(SatField::Low, msg::IllegalData, false);
    const auto high = DigitsValue(in.high, kMaxLnbFreq);
    if (!high) return Refuse(SatField::High, msg::IllegalData, false);
    const auto tenths = LongitudeTenths(in.longitude);
    if (!tenths) return Refuse(SatField::Longitude, msg::IllegalData, true);

    SatValues v;
    v.name = in.name;
    v.type = ListIndex(static_cast<unsigned>(in.type), LnbTypeItems().size());
    v.low = static_cast<uint16_t>(*low);
    v.high = static_cast<uint16_t>(*high);
    v.highText = in.high;
    v.tone22k = in.tone22k >= 0 && in.tone22k <= 2 ? in.tone22k : -1;
    v.power12v = ListIndex(static_cast<unsigned>(in.power12v), Power12VItems().size());
    v.diseqc10 = ListIndex(static_cast<unsigned>(in.diseqc10), Diseqc10Items().size());
    v.diseqc11 = ListIndex(static_cast<unsigned>(in.diseqc11), Diseqc11Items().size());
    v.power = ListIndex(static_cast<unsigned>(in.power), LnbPowerItems().size());
    v.tenths = static_cast<uint16_t>(*tenths);
    out = v;
    return std::nullopt;
}

void ChangeSatellite(Database& db, int sat, const SatValues& v) {
    using namespace satrec;
    SatRec& r = db.Sat.rec[sat];
    SatData& d = db.Sat.data[sat];
    // A list left without a selection (-1) keeps its stored byte.
    const auto set = [&r]<class Field>(Field, int value, uint8_t& decoded) {
        if (value < 0) return;
        Field::Set(r, static_cast<unsigned>(value));
        decoded = static_cast<uint8_t>(value);
    };
    WriteSatName(r, v.name);
    d.Name = TrimRight(v.name);
    set(LnbType{}, v.type, d.LnbType);
    set(Power12V{}, v.power12v, d.Power12V);
    set(Tone22K{}, v.tone22k, d.Tone22K);
    if (v.diseqc10 >= 0) {
        EditorMotor::Set(r, d.Motor != 0 ? 1 : 0);
        EditorDiseqc10::Set(r, static_cast<unsigned>(v.diseqc10));
        d.Diseqc10 = static_cast<uint8_t>(v.diseqc10);
    }
    set(LnbPower{}, v.power, d.LnbPower);
    set(Diseqc11{}, v.diseqc11, d.Diseqc11);
    LnbLow::Set(r, v.low);
    LnbHigh::Set(r, v.high);
    Position::Set(r, v.tenths);
    d.LnbLow = DecText(v.low);
    d.LnbHigh = v.highText;
    d.Longitude = TenthsText(v.tenths);
}

// ------------------------------------------------------- favourite groups

Status CheckFavName(int group, const std::string& name) {
    if (group < 0 || group >= kFavGroups || !StorableName(name, kMaxFavNameLength))
        return Status::Error(StatusCode::Invalid, msg::IllegalData);
    return Status::Ok();
}

Status SetFavName(Database& db, int group, const std::string& name) {
    if (Status s = CheckFavName(group, name); !s) return s;
    WriteFavName(db.FavNameBlock, group, name);
    db.FavNames[group] = TrimRight(name);
    return Status::Ok();
}

std::string FavDialogItemText(int group, const std::string& name) {
    const int number = group + 1;
    return std::string(number < 10 ? "FAV.0" : "FAV.") + std::to_string(number) + " :  " + name;
}

} // namespace dbase
