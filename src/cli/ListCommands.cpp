// Program lists in and out: export-csv, diff and duplicates, and the editing
// commands import-csv and apply-reference that put a file into the order and
// the marks of a list.
#include "Commands.h"
#include "Common.h"
#include "EditSupport.h"
#include "Json.h"

#include "base/Files.h"
#include "document/StepNames.h"
#include "editing/Diff.h"
#include "editing/Lists.h"

#include <filesystem>

namespace cli {

using dbase::Database;
using dbase::Status;

namespace {

// Opens a data file into a database of its own.
Status OpenDatabase(const std::string& path, std::unique_ptr<Database>& db) {
    db = dbase::NewDatabase();
    return OpenInput(path, *db);
}

// "[]", or the items one a line, indented.
std::string JsonList(const std::vector<std::string>& items, const std::string& indent) {
    if (items.empty()) return "[]";
    std::string s = "[";
    for (size_t i = 0; i < items.size(); ++i) s += (i ? ",\n" : "\n") + indent + "  " + items[i];
    return s + "\n" + indent + "]";
}

std::string JsonValue(const dbase::DiffValue& v) { return v.raw ? v.text : JsonString(Latin1ToUtf8(v.text)); }

std::string JsonEntry(const dbase::DiffEntry& e) {
    JsonObj o;
    for (const auto& [field, value] : e.key) o.raw(field, JsonValue(value));
    if (e.name) o.text("name", *e.name);
    if (e.number > 0 && e.kind != dbase::DiffKind::Moved) o.num("number", e.number);
    if (e.kind == dbase::DiffKind::Changed) {
        JsonObj fields;
        for (const dbase::FieldChange& c : e.fields)
            fields.raw(c.field, "[" + JsonValue(c.before) + ", " + JsonValue(c.after) + "]");
        o.raw("fields", fields.str());
    } else if (e.kind == dbase::DiffKind::Moved) {
        o.raw("positions", "[" + std::to_string(e.positions[0]) + ", " + std::to_string(e.positions[1]) + "]");
        o.raw("numbers", "[" + std::to_string(e.numbers[0]) + ", " + std::to_string(e.numbers[1]) + "]");
    }
    return o.str();
}

// The entries of one section as {"added": [...], ...}, for the kinds given.
std::string JsonSection(const std::vector<dbase::DiffEntry>& entries, std::initializer_list<dbase::DiffKind> kinds) {
    std::string s = "{";
    bool firstKind = true;
    for (const dbase::DiffKind kind : kinds) {
        std::vector<std::string> items;
        for (const dbase::DiffEntry& e : entries)
            if (e.kind == kind) items.push_back(JsonEntry(e));
        s += (firstKind ? "\n  " : ",\n  ") + JsonString(dbase::DiffKindName(kind)) + ": " + JsonList(items, "  ");
        firstKind = false;
    }
    return s + "\n}";
}

void DiffJson(std::ostream& out, const dbase::DatabaseDiff& d) {
    using K = dbase::DiffKind;
    std::vector<std::string> favourites;
    for (const dbase::DiffEntry& e : d.favourites) favourites.push_back(JsonEntry(e));
    out << "{" << JsonString("same") << ": " << (d.Same() ? "true" : "false") << ",\n"
        << JsonString("satellites") << ": " << JsonSection(d.satellites, {K::Added, K::Removed, K::Changed}) << ",\n"
        << JsonString("transponders") << ": " << JsonSection(d.transponders, {K::Added, K::Removed, K::Changed})
        << ",\n"
        << JsonString("programs") << ": " << JsonSection(d.programs, {K::Added, K::Removed, K::Changed, K::Moved})
        << ",\n"
        << JsonString("favourites") << ": " << JsonList(favourites, "") << "\n}\n";
}

// The list-order commands: the list from `read`, then the order, marks and
// (with --names) names it gives, and the summary on stderr.
Status ApplyList(const ParsedArgs& p, Database& db, EditReport& report,
                 const std::function<Status(bool names, dbase::ListFile&)>& read) {
    const bool names = p.has("--names");
    dbase::ListFile list;
    if (Status s = read(names, list); !s) return s;
    const dbase::ListPlan plan = dbase::PlanListOrder(db, list);
    dbase::ApplyListOrder(db, list, plan, names);
    report.warnings.push_back(dbase::ListSummary(plan));
    return Status::Ok();
}

} // namespace

int CmdExportCsv(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {"-o"}, {}, 1, 1);
    const std::string* dest = p.get("-o");
    if (dest && dest->empty()) throw UsageError("-o needs a file name");
    if (dest) {
        if (Status s = dbase::CheckDestination(*dest); !s) return Fail(err, s);
        std::error_code ec;
        if (std::filesystem::equivalent(*dest, p.positional[0], ec))
            return Fail(err, "The list would replace the data file it is made from: " + *dest);
    }
    std::unique_ptr<Database> db;
    if (Status s = OpenDatabase(p.positional[0], db); !s) return Fail(err, s);
    const std::string csv = dbase::ExportListCsv(*db);
    if (!dest) {
        out << csv;
        return 0;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(csv.data());
    if (Status s = dbase::WriteFileAtomic(*dest, std::span(bytes, csv.size())); !s) return Fail(err, s);
    return 0;
}

int CmdDiff(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {}, {"--json"}, 2, 2);
    std::unique_ptr<Database> a, b;
    if (Status s = OpenDatabase(p.positional[0], a); !s) return Fail(err, p.positional[0] + ": " + s.message());
    if (Status s = OpenDatabase(p.positional[1], b); !s) return Fail(err, p.positional[1] + ": " + s.message());
    const dbase::DatabaseDiff d = dbase::DiffDatabases(*a, *b);
    if (p.has("--json")) {
        DiffJson(out, d);
    } else {
        for (const std::string& line : dbase::DiffLines(d)) out << Latin1ToUtf8(line) << '\n';
    }
    return 0;
}

int CmdDuplicates(const Args& args, std::ostream& out, std::ostream& err) {
    const ParsedArgs p = ParseArgs(args, {}, {"--json"}, 1, 1);
    std::unique_ptr<Database> db;
    if (Status s = OpenDatabase(p.positional[0], db); !s) return Fail(err, s);
    const auto groups = dbase::DuplicateGroups(*db);
    const bool json = p.has("--json");
    std::vector<std::string> items;
    for (const auto& g : groups) {
        std::string line;
        for (size_t i = 0; i < g.size(); ++i) line += (i ? (json ? ", " : " ") : "") + std::to_string(g[i]);
        items.push_back(json ? "[" + line + "]" : line);
    }
    if (json) {
        out << JsonList(items, "") << '\n';
    } else {
        for (const std::string& line : items) out << line << '\n';
    }
    return 0;
}

void AddListOrderEditCommands(std::vector<EditCommand>& list) {
    list.push_back({"import-csv",
                    "import-csv FILE IN.csv [--names] -o OUT",
                    dbase::steps::ImportListOrder,
                    {},
                    2,
                    2,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport& report) {
                        return ApplyList(p, db, report, [&](bool names, dbase::ListFile& l) {
                            if (Status s = dbase::ReadListCsvFile(p.positional[1], names, l); !s)
                                return s.Reworded(p.positional[1] + ": " + s.message());
                            return Status::Ok();
                        });
                    },
                    {"--names"}});
    list.push_back({"apply-reference",
                    "apply-reference FILE REF [--names] -o OUT",
                    dbase::steps::ApplyReferenceList,
                    {},
                    2,
                    2,
                    {},
                    [](const ParsedArgs& p, Database& db, EditReport& report) {
                        return ApplyList(p, db, report, [&](bool names, dbase::ListFile& l) {
                            std::unique_ptr<Database> ref;
                            if (Status s = OpenDatabase(p.positional[1], ref); !s)
                                return s.Reworded(p.positional[1] + ": " + s.message());
                            return dbase::ListFromDatabase(*ref, names, l);
                        });
                    },
                    {"--names"}});
}

} // namespace cli
