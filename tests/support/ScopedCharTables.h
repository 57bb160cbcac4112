#pragma once
#include "util/CharTables.h"

namespace orv::test {

// Makes a character table pair active for one test (null for none) and gives the
// previous choice back afterwards.
class ScopedCharTables {
public:
    explicit ScopedCharTables(const CharTablePair* pair = &RomanChars) : previous(ActiveCharTables())
    {
        SetActiveCharTables(pair);
    }
    ~ScopedCharTables() { SetActiveCharTables(previous); }
    ScopedCharTables(const ScopedCharTables&) = delete;
    ScopedCharTables& operator=(const ScopedCharTables&) = delete;

private:
    const CharTablePair* previous;
};

}  // namespace orv::test
