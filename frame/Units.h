// Unit initialisation and finalisation of a library: each unit's
// initialisation runs at most once, finalisations run in reverse order.
#pragma once

#include <initializer_list>

namespace kelm24 {

struct TUnit {
    const char* Name;
    void (*Initialization)();
    void (*Finalization)();
    int Counter = 0;
};

void InitializeUnits(std::initializer_list<TUnit*> unitsInLinkOrder);
void FinalizeUnits();

}  // namespace kelm24
