#include "frame/Units.h"

#include <cstddef>

namespace kelm24 {

namespace {
// Plain storage without a destructor: the list must still be there when a
// host that never unloads the library finalises it at process exit, after the
// library's static objects may be gone, and it holds nothing on the heap that
// an unloaded library would lose.
constexpr std::size_t MaxUnits = 64;
TUnit* initialized[MaxUnits];
std::size_t initializedCount = 0;
}  // namespace

void InitializeUnits(std::initializer_list<TUnit*> unitsInLinkOrder)
{
    for (TUnit* unit : unitsInLinkOrder) {
        if (initializedCount == MaxUnits) break;
        initialized[initializedCount++] = unit;
        if (unit->Counter++ != 0) continue;
        if (unit->Initialization) unit->Initialization();
    }
}

void FinalizeUnits()
{
    while (initializedCount > 0) {
        TUnit* unit = initialized[--initializedCount];
        if (--unit->Counter != 0) continue;
        if (unit->Finalization) unit->Finalization();
    }
}

}  // namespace kelm24
