// Slots of the satellite, transponder and program tables as types of their
// own, for the calls that take slots of more than one table: a transponder's
// slot can not be passed where its satellite's is asked for. A slot is made
// from its index explicitly and hands it back as `index`.
#pragma once

namespace dbase {

template <class Tag> struct SlotOf {
    constexpr explicit SlotOf(int i) : index(i) {}
    int index;
    friend constexpr bool operator==(SlotOf, SlotOf) = default;
};

using SatSlot = SlotOf<struct SatSlotTag>;
using TpSlot = SlotOf<struct TpSlotTag>;
using ProgSlot = SlotOf<struct ProgSlotTag>;

} // namespace dbase
