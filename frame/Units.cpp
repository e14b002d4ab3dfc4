#include "frame/Units.h"

#include <vector>

namespace kelm24 {

namespace {
std::vector<TUnit*>& Initialized()
{
    static std::vector<TUnit*> units;
    return units;
}
}  // namespace

void InitializeUnits(std::initializer_list<TUnit*> unitsInLinkOrder)
{
    for (TUnit* unit : unitsInLinkOrder) {
        Initialized().push_back(unit);
        if (unit->Counter++ != 0) continue;
        if (unit->Initialization) unit->Initialization();
    }
}

void FinalizeUnits()
{
    std::vector<TUnit*>& units = Initialized();
    while (!units.empty()) {
        TUnit* unit = units.back();
        units.pop_back();
        if (--unit->Counter != 0) continue;
        if (unit->Finalization) unit->Finalization();
    }
}

}  // namespace kelm24
