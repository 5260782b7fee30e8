// import-ini: replace a satellite's transponders with those of a satellite
// .ini file, as the satellite list's "DownLoad From  *.ini" does.
#include "Commands.h"
#include "EditSupport.h"

#include "dbase/Edit.h"
#include "dbase/IniImport.h"
#include "dbase/Messages.h"

namespace cli {

using dbase::Database;
using dbase::Status;

int CmdImportIni(const Args& args, std::ostream& out, std::ostream& err) {
    return RunEdit(args, {}, 3, 3, out, err, [](const ParsedArgs& p, Database& db, EditReport& report) {
        const int sat = SlotArg(p.positional[1], "SATSLOT");
        const std::string& ini = p.positional[2];
        if (Status s = dbase::CheckSatSlot(db, sat); !s) return s;
        if (Status s = dbase::CheckIniExtension(ini); !s) return s;
        dbase::IniFile file;
        if (Status s = dbase::ParseIniFile(ini, file); !s) return s;
        if (Status s = dbase::ImportIni(db, sat, file); !s) return s;
        if (file.truncated) report.warnings.push_back(dbase::msg::IniTooManyTps);
        if (file.skippedCount > 0) report.warnings.push_back(dbase::SkippedLinesWarning(file));
        report.notes.push_back(dbase::msg::IniSuccess);
        return Status::Ok();
    });
}

} // namespace cli
