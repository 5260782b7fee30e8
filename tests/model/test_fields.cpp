// The field lists of the decoded records: each names every member of its
// struct once, so that a member added to a struct and forgotten in its list
// fails here rather than going missing from the dump, the comparison of two
// files and the consistency checks.
#include "SampleData.h"

#include "editing/Consistency.h"
#include "model/Fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace dbase;

namespace {

// Converts to anything: counts how many initializers an aggregate takes.
struct Anything {
    template <class T> operator T() const;
};

template <class T, class... A> constexpr size_t MemberCount() {
    if constexpr (requires { T{A{}..., Anything{}}; })
        return MemberCount<T, A..., Anything>();
    else
        return sizeof...(A);
}

// Visits every field of `d`: each must be a distinct member of `d`, with a
// name of its own.
template <class Data> void ExpectEveryMemberOnce(const Data& d, const char* what) {
    std::set<const void*> members;
    std::set<std::string> names;
    size_t visited = 0;
    VisitFields(d, [&](const FieldInfo& field, const auto& value) {
        ++visited;
        const auto* p = reinterpret_cast<const char*>(&value);
        EXPECT_TRUE(p >= reinterpret_cast<const char*>(&d) && p + sizeof value <= reinterpret_cast<const char*>(&d + 1))
            << what << "." << field.name << " is not a member";
        EXPECT_TRUE(members.insert(p).second) << what << "." << field.name << " is visited twice";
        EXPECT_TRUE(names.insert(field.name).second) << what << " has two fields named " << field.name;
    });
    EXPECT_EQ(visited, MemberCount<Data>()) << what << " has members its field list leaves out";
}

} // namespace

TEST(FieldLists, EveryMemberOfEveryDecodedRecordOnce) {
    static_assert(MemberCount<AudioData>() == 4);
    ExpectEveryMemberOnce(SatData{}, "SatData");
    ExpectEveryMemberOnce(TpData{}, "TpData");
    ExpectEveryMemberOnce(ProgData{}, "ProgData");
    ExpectEveryMemberOnce(AudioData{}, "AudioData");
}

TEST(FieldLists, DifferencesNameEachFieldInTheListsOrder) {
    const auto db = sample::BuildSample();
    ProgData kept = db->Prog.data[4];
    const ProgData& decoded = db->Prog.data[4];
    EXPECT_EQ(DecodedDifferences(kept, decoded), "");
    kept.CaIds[1] = 9;
    kept.Lock = 1;
    kept.VidPid = "1";
    EXPECT_EQ(DecodedDifferences(kept, decoded), "Lock 1 where the bytes give 0, VidPid \"1\" where the bytes give \"" +
                                                     decoded.VidPid + "\", CaIds 0 9 0 0 where the bytes give 0 0 0 0");
}
