#pragma once
#include <array>
#include <cstdint>

namespace orv {

using CharTable = std::array<unsigned char, 256>;

// One script's translation both ways between a Mac character set and the matching
// Windows code page. The lower halves are the identity.
struct CharTablePair {
    CharTable macToWin;
    CharTable winToMac;
};

extern const CharTablePair RomanChars;           // Mac OS Roman, code page 1252
extern const CharTablePair CentralEuropeanChars;  // Mac OS Central European, 1250
extern const CharTablePair GreekChars;            // Mac OS Greek, 1253
extern const CharTablePair CyrillicChars;         // Mac OS Cyrillic, 1251

// The pair for a Windows code page, or null for a code page without one.
const CharTablePair* CharTablesForCodePage(int codePage);

// Makes the pair of the code page active; any other code page leaves the active
// pair as it was (none at load, so that no text is translated).
void SelectCharTablesForCodePage(int codePage);

// The active pair, or null while none is selected (every translation is then a
// no-op).
const CharTablePair* ActiveCharTables();
void SetActiveCharTables(const CharTablePair* pair);

// fromMac nonzero: Mac form to Windows form (after reading); zero: back (before
// writing). No-ops while no pair is active.
void TranslateChars(void* bytes, int32_t count, int fromMac);
void TranslateCString(char* text, int fromMac);
void TranslatePString(unsigned char* text, int fromMac);

}  // namespace orv
