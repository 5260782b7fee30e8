// edit-program, add-program, edit-tp, add-tp, edit-sat and fav-name: what OK
// does in the editor dialogs, with the options as the dialogs' fields.
#include "Commands.h"
#include "EditSupport.h"

#include "document/StepNames.h"
#include "editing/EditorFields.h"
#include "editing/Entries.h"
#include "format/Image.h"

#include <optional>

namespace cli {

using dbase::Database;
using dbase::Status;

namespace {

const std::set<std::string> kTpOptions = {"--freq", "--sym", "--pol", "--fec"};

const std::set<std::string> kProgOptions = {"--name", "--vid", "--aud",  "--pcr",  "--pvt",
                                            "--pmt",  "--sid", "--lock", "--skip", "--fav"};

bool FlagArg(const std::string& text, const std::string& what) {
    if (text == "0") return false;
    if (text == "1") return true;
    throw UsageError(what + " takes 0 or 1: " + text);
}

// The --fav text as the dump prints it: group 16 first, group 1 last.
uint16_t FavArg(const std::string& text) {
    if (text.size() != 16 || text.find_first_not_of("01") != std::string::npos)
        throw UsageError("--fav takes 16 digits 0 or 1, group 16 first: " + text);
    return dbase::FavMaskValue(text);
}

// Puts the program options given into the editor's fields; the name must
// come as UTF-8 that ISO 8859-1 can hold.
Status ApplyProgOptions(const ParsedArgs& p, dbase::ProgInput& in) {
    if (const std::string* name = p.get("--name"))
        if (Status s = NameArg(*name, in.name); !s) return s;
    const std::pair<const char*, std::string dbase::ProgInput::*> texts[] = {
        {"--vid", &dbase::ProgInput::vid}, {"--aud", &dbase::ProgInput::aud}, {"--pcr", &dbase::ProgInput::pcr},
        {"--pvt", &dbase::ProgInput::pvt}, {"--pmt", &dbase::ProgInput::pmt}, {"--sid", &dbase::ProgInput::sid}};
    for (const auto& [option, field] : texts)
        if (const std::string* v = p.get(option)) in.*field = *v;
    if (const std::string* v = p.get("--lock")) in.lock = FlagArg(*v, "--lock");
    if (const std::string* v = p.get("--skip")) in.skip = FlagArg(*v, "--skip");
    if (const std::string* v = p.get("--fav")) in.fav = FavArg(*v);
    return Status::Ok();
}

template <class Field> Status Refused(const std::optional<dbase::FieldRefusal<Field>>& r) {
    return Status::Error(dbase::StatusCode::Invalid, r->message);
}

int PolArg(const std::string& text) {
    if (text == "H" || text == "h") return 0;
    if (text == "V" || text == "v") return 1;
    throw UsageError("--pol takes H or V: " + text);
}

int FecArg(const std::string& text) {
    for (int code = 0; code <= 6; ++code)
        if (text == dbase::FecName(code) || (code == 0 && text == "auto")) return code;
    throw UsageError("--fec takes Auto, 1/2, 2/3, 3/4, 5/6, 6/7 or 7/8: " + text);
}

void ApplyTpOptions(const ParsedArgs& p, dbase::TpInput& in) {
    if (const std::string* v = p.get("--freq")) in.freq = *v;
    if (const std::string* v = p.get("--sym")) in.sym = *v;
    if (const std::string* v = p.get("--pol")) in.pol = PolArg(*v);
    if (const std::string* v = p.get("--fec")) in.fec = FecArg(*v);
}

int ListArg(const std::string& text, const std::string& what, const std::vector<std::string>& items) {
    std::string lower;
    for (char c : text) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    for (size_t i = 0; i < items.size(); ++i) {
        std::string item;
        for (char c : items[i]) item.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
        if (lower == item) return static_cast<int>(i);
    }
    std::string all;
    for (size_t i = 0; i < items.size(); ++i) all += (i ? "|" : "") + items[i];
    throw UsageError(what + " takes " + all + ": " + text);
}

Status EditSatellite(const ParsedArgs& p, Database& db, EditReport& report) {
    const int sat = SlotArg(p.positional[1], "SLOT");
    if (Status s = dbase::CheckSatSlot(db, sat); !s) return s;
    const dbase::SatView view = dbase::ShowSatellite(db, sat);
    dbase::SatInput in = view.input;

    if (const std::string* v = p.get("--type")) {
        const int type = ListArg(*v, "--type", dbase::LnbTypeItems());
        if (type != in.type) {
            const dbase::LnbPreset preset = dbase::LnbTypePreset(db.Sat.data[sat], type);
            in.type = type;
            in.low = preset.low;
            in.high = preset.high;
            in.tone22k = preset.tone22k;
        }
    }
    if (const std::string* v = p.get("--low")) {
        const dbase::LnbPreset changed = dbase::LnbLowChange(in.type, *v, in.high);
        in.low = changed.low;
        in.high = changed.high;
    }
    if (const std::string* v = p.get("--high")) in.high = *v;
    if (const std::string* v = p.get("--22k"))
        in.tone22k = ListArg(*v, "--22k", {"OFF", "ON", "Auto"});
    else if (!view.warning.empty())
        report.warnings.push_back(view.warning);
    if (const std::string* v = p.get("--diseqc10")) in.diseqc10 = RangeArg(*v, "--diseqc10", 0, 4);
    if (const std::string* v = p.get("--diseqc11")) in.diseqc11 = RangeArg(*v, "--diseqc11", 0, 16);
    if (const std::string* v = p.get("--power")) in.power = ListArg(*v, "--power", dbase::LnbPowerItems());
    if (const std::string* v = p.get("--longitude")) in.longitude = *v;
    if (const std::string* v = p.get("--name"))
        if (Status s = NameArg(*v, in.name); !s) return s;

    dbase::SatValues values;
    if (const auto r = dbase::CheckSatellite(in, values)) return Refused(r);
    dbase::ChangeSatellite(db, sat, values);
    return Status::Ok();
}

} // namespace

void AddDialogEditCommands(std::vector<EditCommand>& list) {
    list.push_back({"edit-program",
                    "edit-program FILE SLOT [--name T] [--vid N] [--aud N] [--pcr N] [--pvt N] [--pmt N] [--sid N] "
                    "[--lock 0|1] [--skip 0|1] [--fav MASK16] -o OUT",
                    dbase::steps::ChangeProgram,
                    kProgOptions,
                    2,
                    2,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport&) {
                        const int slot = SlotArg(p.positional[1], "SLOT");
                        if (Status s = dbase::CheckProgSlot(db, slot); !s) return s;
                        dbase::ProgInput in = dbase::ShowProgram(db, slot);
                        if (Status s = ApplyProgOptions(p, in); !s) return s;
                        dbase::ProgValues v;
                        if (const auto r = dbase::CheckProgram(in, v)) return Refused(r);
                        dbase::ChangeProgram(db, slot, v);
                        return Status::Ok();
                    }});
    list.push_back({"add-program",
                    "add-program FILE TPSLOT tv|radio --name T --vid N --aud N --pcr N [--pvt N] [--pmt N] [--sid N] "
                    "[--lock 0|1] [--skip 0|1] [--fav MASK16] -o OUT",
                    dbase::steps::AddProgram,
                    kProgOptions,
                    3,
                    3,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport& report) {
                        const int tp = SlotArg(p.positional[1], "TPSLOT");
                        const std::string& kind = p.positional[2];
                        if (kind != "tv" && kind != "radio") throw UsageError("the kind is tv or radio: " + kind);
                        for (const char* required : {"--name", "--vid", "--aud", "--pcr"}) RequiredOption(p, required);
                        if (Status s = dbase::CheckTpSlot(db, tp); !s) return s;
                        // The limits are checked before the editor opens.
                        if (Status s = dbase::CheckAddProgram(db, tp); !s) return s;
                        dbase::ProgInput in;
                        if (Status s = ApplyProgOptions(p, in); !s) return s;
                        dbase::ProgValues v;
                        if (const auto r = dbase::CheckProgram(in, v)) return Refused(r);
                        int slot = -1;
                        if (Status s = dbase::AddProgram(db, dbase::TpSlot(tp), kind == "radio", v, &slot); !s)
                            return s;
                        report.notes.push_back("Added program in slot " + std::to_string(slot) + ".");
                        return Status::Ok();
                    }});
    list.push_back({"edit-tp",
                    "edit-tp FILE SLOT [--freq N] [--sym N] [--pol H|V] [--fec TEXT] -o OUT",
                    dbase::steps::ChangeTransponder,
                    kTpOptions,
                    2,
                    2,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport&) {
                        const int tp = SlotArg(p.positional[1], "SLOT");
                        if (Status s = dbase::CheckTpSlot(db, tp); !s) return s;
                        dbase::TpInput in = dbase::ShowTransponder(db, tp);
                        ApplyTpOptions(p, in);
                        dbase::TpValues v;
                        if (const auto r = dbase::CheckTransponder(in, v)) return Refused(r);
                        dbase::ChangeTransponder(db, tp, v);
                        return Status::Ok();
                    }});
    list.push_back({"add-tp",
                    "add-tp FILE SATSLOT --freq N --sym N --pol H|V --fec TEXT -o OUT",
                    dbase::steps::AddTransponder,
                    kTpOptions,
                    2,
                    2,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport& report) {
                        const int sat = SlotArg(p.positional[1], "SATSLOT");
                        for (const char* required : {"--freq", "--sym", "--pol", "--fec"}) RequiredOption(p, required);
                        if (Status s = dbase::CheckSatSlot(db, sat); !s) return s;
                        if (Status s = dbase::CheckAddTransponder(db, sat); !s) return s;
                        dbase::TpInput in;
                        ApplyTpOptions(p, in);
                        dbase::TpValues v;
                        if (const auto r = dbase::CheckTransponder(in, v)) return Refused(r);
                        int slot = -1;
                        if (Status s = dbase::AddTransponder(db, dbase::SatSlot(sat), v, &slot); !s) return s;
                        report.notes.push_back("Added transponder in slot " + std::to_string(slot) + ".");
                        return Status::Ok();
                    }});
    list.push_back(
        {"edit-sat",
         "edit-sat FILE SLOT [--name T] [--type single|universal|onecable] [--low N] [--high N] "
         "[--22k off|on|auto] [--diseqc10 0-4] [--diseqc11 0-16] [--power off|13/18|13|18] "
         "[--longitude X] -o OUT",
         dbase::steps::ChangeSatellite,
         {"--name", "--type", "--low", "--high", "--22k", "--diseqc10", "--diseqc11", "--power", "--longitude"},
         2,
         2,
         {},
         EditSatellite});
    list.push_back({"fav-name",
                    "fav-name FILE GROUP NAME -o OUT",
                    "",
                    {},
                    3,
                    3,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport& report) {
                        const int group = RangeArg(p.positional[1], "GROUP", 1, dbase::kFavGroups);
                        std::string name;
                        if (Status s = NameArg(p.positional[2], name); !s) return s;
                        report.step = dbase::steps::RenameFavourite(group - 1);
                        return dbase::SetFavName(db, group - 1, name);
                    }});
}

} // namespace cli
