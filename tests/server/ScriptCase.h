#pragma once
// One row of the script table: a registry state, a script run, and the
// result and whole state expected afterwards. Rows are written as
//   ScriptCase("Title", script).Unregistering().Over(seeds).Fails(code).Leaves(lines)
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "RegistryContents.h"
#include "platform/Win32Values.h"

namespace tessaly::testing {

struct Denial {
    std::wstring key;
    std::uint32_t rights;
};

struct ScriptCase {
    ScriptCase(const char* caseTitle, std::wstring caseScript) : title(caseTitle), script(std::move(caseScript)) {}

    ScriptCase& Unregistering() { doRegister = false; return *this; }
    ScriptCase& PerUser() { perUser = true; return *this; }
    // Registered first; must succeed.
    ScriptCase& AfterRegistering(std::wstring setup) { setupScript = std::move(setup); return *this; }
    // Planted after the set-up script.
    ScriptCase& Over(std::vector<Seed> seeds) { before = std::move(seeds); return *this; }
    // The in-memory registry refuses these rights on these keys (making the
    // keys); rows with denials run on the in-memory registry only.
    ScriptCase& Denying(std::vector<Denial> refused) { denials = std::move(refused); memoryOnly = true; return *this; }
    ScriptCase& MemoryOnly() { memoryOnly = true; return *this; }
    ScriptCase& Fails(HResult result) { expected = result; return *this; }
    // The whole state afterwards (empty unless given).
    ScriptCase& Leaves(Lines lines) { after = std::move(lines); return *this; }

    const char* title;
    std::wstring script;
    bool doRegister = true;
    bool perUser = false;
    bool memoryOnly = false;
    std::wstring setupScript;
    std::vector<Seed> before;
    std::vector<Denial> denials;
    HResult expected = hr::kOk;
    Lines after;
};

// GoogleTest names a failing row by its title.
inline void PrintTo(const ScriptCase& row, std::ostream* out) { *out << row.title; }

}  // namespace tessaly::testing
