// import-ini: replace a satellite's transponders with those of a satellite
// .ini file, as the satellite list's "DownLoad From  *.ini" does.
#include "Commands.h"
#include "EditSupport.h"

#include "base/Messages.h"
#include "document/StepNames.h"
#include "editing/Entries.h"
#include "editing/IniImport.h"

namespace cli {

using dbase::Database;
using dbase::Status;

void AddImportEditCommands(std::vector<EditCommand>& list) {
    list.push_back({"import-ini",
                    "import-ini FILE SATSLOT INI -o OUT",
                    dbase::steps::ImportTransponders,
                    {},
                    3,
                    3,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport& report) {
                        const int sat = SlotArg(p.positional[1], "SATSLOT");
                        const std::string& ini = p.positional[2];
                        if (Status s = dbase::CheckSatSlot(db, sat); !s) return s;
                        if (Status s = dbase::CheckIniExtension(ini); !s) return s;
                        dbase::IniFile file;
                        if (Status s = dbase::ParseIniFile(ini, file); !s) return s;
                        if (Status s = dbase::ImportIni(db, sat, file); !s) return s;
                        if (file.truncated) report.warnings.emplace_back(dbase::msg::IniTooManyTps);
                        if (file.skippedCount > 0) report.warnings.push_back(dbase::SkippedLinesWarning(file));
                        report.notes.emplace_back(dbase::msg::IniSuccess);
                        return Status::Ok();
                    }});
}

} // namespace cli
