#include "EditSupport.h"

#include "base/Messages.h"

#include <climits>

namespace cli {

const std::vector<EditCommand>& EditCommands() {
    static const std::vector<EditCommand> commands = [] {
        std::vector<EditCommand> list;
        AddReorderEditCommands(list);
        AddDeleteEditCommands(list);
        AddDialogEditCommands(list);
        AddImportEditCommands(list);
        AddListOrderEditCommands(list);
        return list;
    }();
    return commands;
}

const EditCommand* FindEditCommand(const std::string& name) {
    for (const EditCommand& c : EditCommands())
        if (c.name == name) return &c;
    return nullptr;
}

ParsedArgs ParseEditArgs(const EditCommand& c, const Args& args, bool output) {
    std::set<std::string> valued = c.valued, flags = c.flags;
    if (output) {
        valued.insert("-o");
        flags.insert(kNoBackup);
    }
    ParsedArgs p = ParseArgs(args, valued, flags, c.minPos, c.maxPos);
    if (output) {
        const std::string* dest = p.get("-o");
        if (!dest) throw UsageError("-o OUT is required");
        if (dest->empty()) throw UsageError("-o needs a file name");
    }
    if (c.check) c.check(p);
    return p;
}

dbase::Status ApplyEdit(const EditCommand& c, const ParsedArgs& args, dbase::Document& doc, EditReport& report) {
    return doc.Edit(c.step, [&](dbase::Database& db) {
        dbase::Status s = c.apply(args, db, report);
        if (s && !report.step.empty()) doc.NameStep(report.step);
        return s;
    });
}

int RunEdit(const EditCommand& c, const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs p = ParseEditArgs(c, args, true);
    dbase::Document doc;
    if (dbase::Status s = OpenInputFor(p.positional[0], *p.get("-o"), doc); !s) return Fail(err, s);
    doc.SetBackups(!p.has(kNoBackup));
    EditReport report;
    if (dbase::Status s = ApplyEdit(c, p, doc, report); !s) return Fail(err, s);
    if (dbase::Status s = SaveOutput(doc, *p.get("-o"), err); !s) return Fail(err, s);
    for (const std::string& w : report.warnings) Fail(err, w);
    for (const std::string& n : report.notes) out << n << '\n';
    return 0;
}

int SlotArg(const std::string& text, const std::string& what) {
    const long long v = ParseInteger(text, what);
    if (v < INT_MIN || v > INT_MAX) throw UsageError(what + " is out of range: " + text);
    return static_cast<int>(v);
}

std::vector<int> SlotArgs(const ParsedArgs& p, size_t first, bool distinct) {
    std::vector<int> slots;
    std::set<int> seen;
    for (size_t i = first; i < p.positional.size(); ++i) {
        const int slot = SlotArg(p.positional[i], "SLOT");
        if (distinct && !seen.insert(slot).second) throw UsageError("slot " + p.positional[i] + " is listed twice");
        slots.push_back(slot);
    }
    return slots;
}

int RangeArg(const std::string& text, const std::string& what, int min, int max) {
    const long long v = ParseInteger(text, what);
    if (v < min || v > max)
        throw UsageError(what + " takes " + std::to_string(min) + " to " + std::to_string(max) + ": " + text);
    return static_cast<int>(v);
}

dbase::Status NameArg(const std::string& utf8, std::string& latin1) {
    if (!Utf8ToLatin1(utf8, latin1)) return dbase::Status::Error(dbase::StatusCode::Invalid, dbase::msg::IllegalData);
    return dbase::Status::Ok();
}

const std::string& RequiredOption(const ParsedArgs& p, const std::string& name) {
    const std::string* v = p.get(name);
    if (!v) throw UsageError(name + " is required");
    return *v;
}

} // namespace cli
