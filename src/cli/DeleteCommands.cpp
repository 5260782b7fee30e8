// delete-program, delete-tp, reset-sat and delete-empty-tps: the delete and
// reset commands of the lists' popup menus.
#include "Commands.h"
#include "EditSupport.h"

#include "document/StepNames.h"
#include "editing/Entries.h"

namespace cli {

using dbase::Database;
using dbase::Status;

void AddDeleteEditCommands(std::vector<EditCommand>& list) {
    list.push_back({"delete-program",
                    "delete-program FILE SLOT -o OUT",
                    dbase::steps::DeleteProgram,
                    {},
                    2,
                    2,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport&) {
                        const int slot = SlotArg(p.positional[1], "SLOT");
                        if (Status s = dbase::CheckProgSlot(db, slot); !s) return s;
                        dbase::DeleteProgram(db, slot);
                        return Status::Ok();
                    }});
    list.push_back({"delete-programs",
                    "delete-programs FILE SLOT... -o OUT",
                    dbase::steps::DeletePrograms,
                    {},
                    2,
                    kAnyCount,
                    [](const ParsedArgs& p) { SlotArgs(p, 1, true); },
                    [](const ParsedArgs& p, Database& db, EditReport&) {
                        const std::vector<int> slots = SlotArgs(p, 1, true);
                        for (int slot : slots)
                            if (Status s = dbase::CheckProgSlot(db, slot); !s) return s;
                        dbase::DeletePrograms(db, slots);
                        return Status::Ok();
                    }});
    list.push_back({"delete-tp",
                    "delete-tp FILE SLOT -o OUT",
                    dbase::steps::DeleteTransponder,
                    {},
                    2,
                    2,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport& report) {
                        const int tp = SlotArg(p.positional[1], "SLOT");
                        if (Status s = dbase::CheckTpSlot(db, tp); !s) return s;
                        const dbase::TpDeleteResult r =
                            dbase::DeleteTransponder(db, dbase::TpSlot(tp), dbase::SatSlot(db.Tp.data[tp].SatIndex));
                        if (r.PlaceholderTpMade)
                            report.notes.push_back(
                                "The satellite's last transponder was replaced by the placeholder in slot " +
                                std::to_string(r.placeholderSlot) + ".");
                        return Status::Ok();
                    }});
    list.push_back({"reset-sat",
                    "reset-sat FILE SLOT -o OUT",
                    dbase::steps::ResetSatellite,
                    {},
                    2,
                    2,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport&) {
                        const int sat = SlotArg(p.positional[1], "SLOT");
                        if (Status s = dbase::CheckSatSlot(db, sat); !s) return s;
                        dbase::ResetSatellite(db, sat);
                        return Status::Ok();
                    }});
    list.push_back({"delete-empty-tps",
                    "delete-empty-tps FILE [--sat SLOT] -o OUT",
                    dbase::steps::DeleteEmptyTransponders,
                    {"--sat"},
                    1,
                    1,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport& report) {
                        // The transponders the grid would list: those of one satellite, or all.
                        std::vector<int> listed;
                        if (const std::string* satArg = p.get("--sat")) {
                            const int sat = SlotArg(*satArg, "--sat");
                            if (Status s = dbase::CheckSatSlot(db, sat); !s) return s;
                            listed = dbase::SatTps(db, sat);
                        } else {
                            listed = dbase::AllTps(db);
                        }
                        const std::vector<int> empty = dbase::EmptyTransponders(db, listed);
                        const int deleted = dbase::DeleteTransponders(db, empty);
                        report.notes.push_back("Deleted " + std::to_string(deleted) + " empty transponder" +
                                               (deleted == 1 ? "." : "s."));
                        return Status::Ok();
                    }});
}

} // namespace cli
