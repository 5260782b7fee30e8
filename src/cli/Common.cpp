#include "Common.h"

#include <charconv>

namespace cli {

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valued,
                     const std::set<std::string>& flags, size_t minPos, size_t maxPos) {
    ParsedArgs p;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || a.size() < 2 || a[0] != '-' || (a[1] >= '0' && a[1] <= '9')) {
            p.positional.push_back(a);
            continue;
        }
        std::string name = a, value;
        bool inlineValue = false;
        if (const auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            inlineValue = true;
        }
        if (valued.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
                value = args[++i];
            }
            p.options[name] = value;
        } else if (flags.count(name) && !inlineValue) {
            p.options[name] = "";
        } else {
            throw UsageError("unknown option " + a);
        }
    }
    if (p.positional.size() < minPos) throw UsageError("missing argument");
    if (p.positional.size() > maxPos) throw UsageError("unexpected argument " + p.positional[maxPos]);
    return p;
}

long long ParseInteger(const std::string& text, const std::string& what) {
    long long v = 0;
    const char* b = text.data();
    const char* e = b + text.size();
    if (b != e && *b == '+') ++b;
    const auto [ptr, ec] = std::from_chars(b, e, v);
    if (text.empty() || ec != std::errc() || ptr != e) throw UsageError(what + " is not an integer: " + text);
    return v;
}

int Fail(std::ostream& err, const std::string& message) {
    std::string m = message;
    for (char& c : m)
        if (c == '\r') c = '\n';
    err << m << '\n';
    return 1;
}

int Fail(std::ostream& err, const dbase::Status& status) { return Fail(err, status.message()); }

dbase::Status OpenInput(const std::string& path, dbase::Database& db, dbase::OpenedFile* opened) {
    std::vector<uint8_t> bytes;
    if (dbase::Status s = dbase::ReadWholeFile(path, bytes); !s) return s;
    return dbase::OpenImageBytes(bytes, dbase::KindFromSize(bytes.size()), db, opened);
}

dbase::Status OpenInput(const std::string& path, dbase::Document& doc) {
    auto db = dbase::NewDatabase();
    dbase::OpenedFile opened;
    if (dbase::Status s = OpenInput(path, *db, &opened); !s) return s;
    doc.Adopt(std::move(db), {dbase::KindFromSize(opened.size), opened.container.front});
    return dbase::Status::Ok();
}

dbase::Status OpenInputFor(const std::string& in, const std::string& out, dbase::Document& doc) {
    if (dbase::Status s = dbase::CheckDestination(out); !s) return s;
    return OpenInput(in, doc);
}

dbase::Status SaveOutput(dbase::Document& doc, const std::string& out, std::ostream& err, dbase::SaveMode mode) {
    if (mode == dbase::SaveMode::None) mode = dbase::SaveModeForSave(doc.Is256K());
    if (dbase::Status s = doc.Save(mode, out); !s) return s;
    NoteBackup(doc.LastBackup(), err);
    return dbase::Status::Ok();
}

void NoteBackup(const dbase::BackupResult& backup, std::ostream& err) {
    if (backup.outcome == dbase::BackupResult::Outcome::NoPlace) err << dbase::NoBackupNote(backup) << '\n';
}

} // namespace cli
