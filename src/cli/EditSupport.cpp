#include "EditSupport.h"

#include "dbase/Messages.h"

#include <climits>

namespace cli {

int RunEdit(const Args& args, std::set<std::string> valued, size_t minPos, size_t maxPos, std::ostream& out,
            std::ostream& err, const EditOperation& operation) {
    valued.insert("-o");
    const ParsedArgs p = ParseArgs(args, valued, {}, minPos, maxPos);
    const std::string* dest = p.get("-o");
    if (!dest) throw UsageError("-o OUT is required");
    if (dest->empty()) throw UsageError("-o needs a file name");

    auto db = dbase::NewDatabase();
    if (dbase::Status s = OpenInputFor(p.positional[0], *dest, *db); !s) return Fail(err, s);
    EditReport report;
    if (dbase::Status s = operation(p, *db, report); !s) return Fail(err, s);
    if (dbase::Status s = SaveOutput(*db, *dest); !s) return Fail(err, s);
    for (const std::string& w : report.warnings) Fail(err, w);
    for (const std::string& n : report.notes) out << n << '\n';
    return 0;
}

int SlotArg(const std::string& text, const std::string& what) {
    const long long v = ParseInteger(text, what);
    if (v < INT_MIN || v > INT_MAX) throw UsageError(what + " is out of range: " + text);
    return static_cast<int>(v);
}

int RangeArg(const std::string& text, const std::string& what, int min, int max) {
    const long long v = ParseInteger(text, what);
    if (v < min || v > max)
        throw UsageError(what + " takes " + std::to_string(min) + " to " + std::to_string(max) + ": " + text);
    return static_cast<int>(v);
}

dbase::Status NameArg(const std::string& utf8, std::string& latin1) {
    if (!Utf8ToLatin1(utf8, latin1)) return dbase::Status::Error(dbase::msg::IllegalData);
    return dbase::Status::Ok();
}

const std::string& RequiredOption(const ParsedArgs& p, const std::string& name) {
    const std::string* v = p.get(name);
    if (!v) throw UsageError(name + " is required");
    return *v;
}

} // namespace cli
