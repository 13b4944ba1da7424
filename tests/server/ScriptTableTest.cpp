// The registrar against a table of scripts: each row plants a registry state,
// runs one script in one direction, and compares the result and the whole
// registry afterwards.
#include <gtest/gtest.h>

#include <cstdio>

#include "RegistryContents.h"
#include "ScriptCase.h"
#include "server/RegObject.h"
#include "server/RegistrationMode.h"
#ifdef _WIN32
#include "SystemRegistryContents.h"
#include "platform/registry/WindowsRegistry.h"
#endif

namespace tessaly::testing {
namespace {

#define TEST_CLASS L"{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}"
const std::wstring kClassKey = L"HKCR\\CLSID\\" TEST_CLASS;
const std::wstring kTestKey = L"HKCR\\TessalyTest";
const std::wstring kUserTestKey = L"HKCU\\Software\\Classes\\TessalyTest";

const wchar_t kClassScript[] =
    L"HKCR { NoRemove CLSID { ForceRemove " TEST_CLASS
    L" = s 'x' { InprocServer32 = s 'p' { val ThreadingModel = s 'Apartment' } } } }";

constexpr HResult kTypeMismatch = static_cast<HResult>(0x80020005u);
constexpr HResult kOverflow = static_cast<HResult>(0x8002000Au);
constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005u);

Lines Raw(const std::wstring& key, const std::wstring& line) { return Union(KeyLines(key), {key + L" " + line}); }

std::wstring Repeated(wchar_t c, std::size_t count) { return std::wstring(count, c); }
std::wstring Nested(std::size_t depth, const std::wstring& innermost = L"") {
    std::wstring script;
    for (std::size_t i = 0; i < depth; ++i) script += L"k { ";
    script += innermost;
    for (std::size_t i = 0; i < depth; ++i) script += L"} ";
    return script;
}

const std::vector<ScriptCase>& Cases() {
    static const std::vector<ScriptCase> cases = {
        // ForceRemove, NoRemove, unregistration of keys
        ScriptCase("ForceRemoveReplacesAnExistingClassKey", kClassScript)
            .Over({{kClassKey + L"\\Old"},
                    {kClassKey, L"Stale", L"earlier version"},
                    {kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Free"}})
            .Leaves(State({Value(kClassKey, L"", L"x"), Value(kClassKey + L"\\InprocServer32", L"", L"p"),
                         Value(kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment")})),
        ScriptCase("UnregisteringTheClassKeepsOnlyTheNoRemoveKey", kClassScript)
            .Unregistering()
            .AfterRegistering(kClassScript)
            .Leaves(KeyLines(L"HKCR\\CLSID")),
        ScriptCase("UnregisteringAnAbsentClassTouchesNothing", kClassScript)
            .Unregistering()
            .Over({{L"HKCR\\CLSID\\{Other}\\InprocServer32", L"", L"other"}})
            .Leaves(Value(L"HKCR\\CLSID\\{Other}\\InprocServer32", L"", L"other")),
        ScriptCase("ClassKeyWithForeignSubkeysSurvivesUnregistration", kClassScript)
            .Unregistering()
            .AfterRegistering(kClassScript)
            .Over({{kClassKey + L"\\ProgID"}})
            .Leaves(State({Value(kClassKey, L"", L"x"), KeyLines(kClassKey + L"\\ProgID")})),
        ScriptCase("ProtectedNamesAreNotForceRemoved", L"HKCR { ForceRemove CLSID { " TEST_CLASS L" { val New = s 'n' } } }")
            .Over({{kClassKey, L"", L"keep"}})
            .Leaves(State({Value(kClassKey, L"", L"keep"), Value(kClassKey, L"New", L"n")})),
        ScriptCase("DeleteRemovesAKeyWithItsSubkeys", L"HKCR { TessalyTest { Delete Old = s 'skipped' } }")
            .Over({{kTestKey, L"", L"own"}, {kTestKey + L"\\Old\\Deeper", L"", L"gone"}})
            .Leaves(Value(kTestKey, L"", L"own")),
        ScriptCase("NoRemoveKeepsKeysAndValuesWhenUnregistering", L"HKCR { NoRemove TessalyTest { val V = s 'x' NoRemove val W = s 'y' ForceRemove Sub } }")
            .Unregistering()
            .Over({{kTestKey, L"V", L"x"}, {kTestKey, L"W", L"y"}, {kTestKey, L"Z", L"z"}, {kTestKey + L"\\Sub"}})
            .Leaves(State({Value(kTestKey, L"W", L"y"), Value(kTestKey, L"Z", L"z")})),
        // A block that is only read through (its key is missing, or it follows
        // a value) and cannot be read to its end stops the run: nothing after
        // it may be taken one level up. Each row plants the key that such a
        // shift would delete.
        ScriptCase("EmptyNameInASkippedBlockStopsUnregistering", L"HKCR { TessalyTest { Missing { '' Victim } } }")
            .Unregistering()
            .Over({{kTestKey + L"\\Victim"}})
            .Fails(hr::kDispException)
            .Leaves(KeyLines(kTestKey + L"\\Victim")),
        ScriptCase("TooDeepASkippedBlockStopsUnregistering",
                   L"HKCR { TessalyTest { Missing { " + Nested(510) + L"Victim } } }")
            .Unregistering()
            .Over({{kTestKey + L"\\Victim"}})
            .Fails(hr::kDispException)
            .Leaves(KeyLines(kTestKey + L"\\Victim")),
        ScriptCase("MalformedValueInASkippedBlockStopsUnregistering",
                   L"HKCR { TessalyTest { Missing { val V 'x' Victim } } }")
            .Unregistering()
            .Over({{kTestKey + L"\\Victim"}})
            .Fails(hr::kDispException)
            .Leaves(KeyLines(kTestKey + L"\\Victim")),
        ScriptCase("FailureInTheBlockAfterAValueStopsUnregistering",
                   L"HKCR { TessalyTest { val V = s 'x' { '' Victim } } }")
            .Unregistering()
            .Over({{kTestKey + L"\\Victim"}})
            .Fails(hr::kDispException)
            .Leaves(KeyLines(kTestKey + L"\\Victim")),
        ScriptCase("UnknownTypeLetterIsNotReadWhenUnregistering", L"HKCR { TessalyTest { val V = x 'x' } }")
            .Unregistering()
            .AfterRegistering(L"HKCR { TessalyTest { val V = s 'x' } }"),

        // Tokens and names
        ScriptCase("QuotedNamesKeepBlanksAndQuotes", L"HKCR { TessalyTest { 'Shell Extensions' { val 'It''s' = s 'a ''b'' { c }' } 'It''s' } }")
            .Leaves(State({Value(kTestKey + L"\\Shell Extensions", L"It's", L"a 'b' { c }"),
                         KeyLines(kTestKey + L"\\It's")})),
        ScriptCase("QuotedTokensEndAtTheQuotePlainOnesAtWhiteSpace", L"HKCR { TessalyTest { 'Quoted'{ 'Sub'} Brace{ } }")
            .Leaves(State({KeyLines(kTestKey + L"\\Quoted\\Sub"), KeyLines(kTestKey + L"\\Brace{")})),
        ScriptCase("BackslashesAreFineInValues", L"HKCR { TessalyTest = s 'C:\\dir\\' }")
            .Leaves(Value(kTestKey, L"", L"C:\\dir\\")),
        ScriptCase("BackslashInAKeyNameFails", L"HKCR { TessalyTest { 'Tessaly\\Test' } }")
            .Fails(hr::kDispException),
        ScriptCase("EmptyKeyNameFailsAndDeletesNothing", L"HKCR { TessalyTest { ForceRemove '' } }")
            .Fails(hr::kDispException)
            .Over({{kTestKey + L"\\Child"}})
            .Leaves(KeyLines(kTestKey + L"\\Child")),
        ScriptCase("LongestTokenIsAccepted", L"HKCR { TessalyTest = s '" + Repeated(L'v', 4094) + L"' }")
            .Leaves(Value(kTestKey, L"", Repeated(L'v', 4094))),
        ScriptCase("LongerTokenFails", L"HKCR { TessalyTest = s " + Repeated(L'v', 4095) + L" }")
            .Fails(hr::kDispException),
        ScriptCase("WhiteSpaceOnlyFails", L" \t\r\n ")
            .Fails(hr::kDispException),
        ScriptCase("EmptyScriptRegisters", L""),
        ScriptCase("EmptyScriptUnregisters", L"")
            .Unregistering(),
        ScriptCase("UnknownRootFails", L"HKXX { TessalyTest }")
            .Fails(hr::kDispException),
        ScriptCase("RootWithoutBraceFails", L"HKCR TessalyTest { }")
            .Fails(hr::kDispException),
        ScriptCase("MissingClosingBraceFailsBeforeAnythingIsWritten", L"HKCR { TessalyTest { Sub }")
            .Fails(hr::kDispException),
        ScriptCase("ValueNameWithoutEqualsFails", L"HKCR { TessalyTest { val V s 'x' } }")
            .Fails(hr::kDispException),
        ScriptCase("BlockAfterAValueBelongsToTheLastKey", L"HKCR { TessalyTest { A val V = s 'x' { Sub } } }")
            .Leaves(State({Value(kTestKey, L"V", L"x"), KeyLines(kTestKey + L"\\A\\Sub")})),
        ScriptCase("BlockAfterAValueIsOnlyReadWhenUnregistering", L"HKCR { TessalyTest { A val V = s 'x' { Sub } } }")
            .Unregistering()
            .AfterRegistering(L"HKCR { TessalyTest { A val V = s 'x' { Sub } } }")
            .Over({{kTestKey + L"\\Sub", L"", L"other software"}})
            .Leaves(State({KeyLines(kTestKey + L"\\A\\Sub"), Value(kTestKey + L"\\Sub", L"", L"other software")})),
        ScriptCase("BlockAfterAValueWithoutAKeyFails", L"HKCR { TessalyTest { val V = s 'x' { Sub } } }")
            .Fails(hr::kDispException),

        // Replacements
        ScriptCase("PercentSignsAndReplacements", L"HKCR { TessalyTest = s '100%% %Pct% %name% %Quoted% %ABCDEFGHIJKLMNOPQRSTUVWXYZ01234%' }")
            .Leaves(Value(kTestKey, L"", L"100% 50% first It's long")),
        ScriptCase("UnknownReplacementWritesNothing", L"HKCR { TessalyTest = s 'x' }\r\nHKCR { Other = s '%Unknown%' }")
            .Fails(hr::kDispException),
        ScriptCase("ReplacementNameOf32CharactersFails", L"HKCR { TessalyTest = s '%ABCDEFGHIJKLMNOPQRSTUVWXYZ012345%' }")
            .Fails(hr::kFail),
        ScriptCase("PercentWithoutClosingOneFails", L"HKCR { TessalyTest = s '100%' }")
            .Fails(hr::kDispException),

        // Per-user redirection
        ScriptCase("PerUserSendsHkcrBlocksToTheUsersClasses", L"HKCR { TessalyTest { val V = s 'x' } }\r\n\r\nHKCR { TessalyTest { B } }")
            .PerUser()
            .Leaves(State({Value(kUserTestKey, L"V", L"x"), KeyLines(kUserTestKey + L"\\B")})),
        ScriptCase("PerUserRewritesOnlyTopLevelNamesOutsideQuotes", L"HKCR { TessalyTest = s '} HKCR {' { HKCR } }\r\nHKLM { Software { TessalyTest } }")
            .PerUser()
            .Leaves(State({Value(kUserTestKey, L"", L"} HKCR {"), KeyLines(kUserTestKey + L"\\HKCR"),
                         KeyLines(L"HKLM\\Software\\TessalyTest")})),
        ScriptCase("PerUserLeavesTheSpelledOutRootAlone", L"HKEY_CLASSES_ROOT { TessalyTest }")
            .PerUser()
            .Leaves(KeyLines(kTestKey)),
        ScriptCase("PerUserLeavesLowerCaseHkcrAlone", L"hkcr { TessalyTest }")
            .PerUser()
            .Leaves(KeyLines(kTestKey)),
        ScriptCase("PerUserUnregisters", L"HKCR { TessalyTest { val V = s 'x' } }")
            .Unregistering()
            .AfterRegistering(L"HKCR { TessalyTest { val V = s 'x' } }")
            .Over({{L"HKCU\\Software\\Classes\\.keep"}})
            .PerUser()
            .Leaves(KeyLines(L"HKCU\\Software\\Classes\\.keep")),

        // Value types
        ScriptCase("MultiStringLayouts", L"HKCR { TessalyTest { val Two = m 'a\\0b' val One = m 'a\\0\\0b' val None = m '' } }")
            .Leaves(State({Raw(kTestKey, L"[Two] type 7 = 61 00 00 00 62 00 00 00 00 00"),
                         Raw(kTestKey, L"[One] type 7 = 61 00 00 00 00 00"), Raw(kTestKey, L"[None] type 7 = 00 00")})),
        ScriptCase("BinaryLayouts", L"HKCR { TessalyTest { val Bytes = b '0aFF' val Other = b 'g1' val None = b '' } }")
            .Leaves(State({Raw(kTestKey, L"[Bytes] type 3 = 0a ff"), Raw(kTestKey, L"[Other] type 3 = 01"),
                         Raw(kTestKey, L"[None] type 3 =")})),
        ScriptCase("OddBinaryFailsBeforeAnythingIsWritten", L"HKCR { TessalyTest { val V = b 'abc' } }")
            .Fails(hr::kFail),
        ScriptCase("NumberLayouts", L"HKCR { TessalyTest { val N = d '123' val Max = D '4294967295' } }")
            .Leaves(State({Raw(kTestKey, L"[N] type 4 = 7b 00 00 00"), Raw(kTestKey, L"[Max] type 4 = ff ff ff ff")})),
        ScriptCase("NumberThatIsNoNumberFails", L"HKCR { TessalyTest { val N = d 'abc' } }")
            .Fails(kTypeMismatch),
        ScriptCase("NumberTooLargeFails", L"HKCR { TessalyTest { val N = d '4294967296' } }")
            .Fails(kOverflow),
        ScriptCase("UnknownTypeFailsBeforeTheKeyIsMade", L"HKCR { TessalyTest = x 'v' }")
            .Fails(hr::kDispException),

        // A script error fails its root block before the block writes
        // anything; root blocks before it stay.
        ScriptCase("ScriptErrorInALaterRootBlockKeepsTheEarlierOnes", L"HKLM { Software { TessalyTest = s 'kept' } }\r\n"
                   L"HKCR { NoRemove CLSID { " TEST_CLASS L" { Sub = s 'v' } } TessalyTest { Bad = x 'y' } }")
            .Fails(hr::kDispException)
            .Leaves(Value(L"HKLM\\Software\\TessalyTest", L"", L"kept")),

        ScriptCase("ScriptErrorAfterForceRemoveDeletesNothing",
                   L"HKCR { ForceRemove TessalyTest { New { val V = x 'y' } } }")
            .Over({{kTestKey + L"\\Old", L"", L"old"}})
            .Fails(hr::kDispException)
            .Leaves(Value(kTestKey + L"\\Old", L"", L"old")),

        // A registry failure undoes what its root block wrote.
        ScriptCase("RegistryFailureDeepInABlockIsUndone",
                   L"HKLM { Software { TessalyTest = s 'kept' } }\r\n"
                   L"HKCR { NoRemove TessalyTest { A = s 'a' { B } Locked { Inner } } }")
            .Denying({{kTestKey + L"\\Locked", registry::access::kCreateSubKey}})
            .Fails(kAccessDenied)
            .Leaves(State({Value(L"HKLM\\Software\\TessalyTest", L"", L"kept"), KeyLines(kTestKey)})),
        ScriptCase("AKeyThatAlreadyHadSubkeysSurvivesTheUndo",
                   L"HKCR { TessalyTest { val V = s 'x' Locked { Inner } } }")
            .Over({{kTestKey, L"Own", L"mine"}, {kTestKey + L"\\Keep"}})
            .Denying({{kTestKey + L"\\Locked", registry::access::kCreateSubKey}})
            .Fails(kAccessDenied)
            .Leaves(State({Value(kTestKey, L"Own", L"mine"), KeyLines(kTestKey + L"\\Keep")})),

        // Refused access (the in-memory registry refuses on request)
        ScriptCase("RefusedValueFailsAndTheUndoStopsThere", L"HKCR { TessalyTest { val V = s 'x' } }")
            .Fails(kAccessDenied)
            .Denying({{kTestKey, registry::access::kSetValue}})
            .Leaves(KeyLines(kTestKey)),
        ScriptCase("UnregisteringStopsAtTheFirstFailure", L"HKLM { Software { TessalyTest { val V = s 'x' } } }\r\nHKCR { TessalyTest }")
            .Unregistering()
            .Fails(kAccessDenied)
            .Over({{L"HKLM\\Software\\TessalyTest", L"V", L"x"}, {kTestKey}})
            .Denying({{L"HKLM\\Software\\TessalyTest", registry::access::kSetValue}})
            .Leaves(State({Value(L"HKLM\\Software\\TessalyTest", L"V", L"x"), KeyLines(kTestKey)})),
        ScriptCase("UnreadableKeyFailsUnregistering", L"HKCR { TessalyTest { val V = s 'x' } }")
            .Unregistering()
            .Fails(kAccessDenied)
            .Over({{kTestKey, L"V", L"x"}})
            .Denying({{kTestKey, registry::access::kQueryValue}})
            .Leaves(Value(kTestKey, L"V", L"x")),
        ScriptCase("DeepestNestingIsAccepted", L"HKCR { " + Nested(511) + L"}")
            .MemoryOnly()
            .Leaves(KeyLines(L"HKCR" + [] {
             std::wstring path;
             for (int i = 0; i < 511; ++i) path += L"\\k";
             return path;
         }())),
        ScriptCase("DeeperNestingFailsBeforeAnythingIsWritten", L"HKCR { " + Nested(512) + L"}")
            .Fails(hr::kDispException)
            .MemoryOnly(),
    };
    return cases;
}

std::string Hex(HResult value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

void AddTestReplacements(CRegObject& registrar) {
    ASSERT_EQ(registrar.AddReplacement(L"Pct", L"50%"), hr::kOk);
    ASSERT_EQ(registrar.AddReplacement(L"Name", L"first"), hr::kOk);
    ASSERT_EQ(registrar.AddReplacement(L"NAME", L"second"), hr::kOk);
    ASSERT_EQ(registrar.AddReplacement(L"Quoted", L"It''s"), hr::kOk);
    ASSERT_EQ(registrar.AddReplacement(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", L"long"), hr::kOk);
}

class PerUserMode {
public:
    explicit PerUserMode(bool perUser) { SetPerUserRegistration(perUser); }
    ~PerUserMode() { SetPerUserRegistration(false); }
};

// Registers the row's set-up script and plants its keys.
void Prepare(const ScriptCase& row, CRegObject& registrar, registry::Registry& registry) {
    AddTestReplacements(registrar);
    if (!row.setupScript.empty()) {
        ASSERT_EQ(Hex(registrar.RunScript(row.setupScript.c_str(), true)), Hex(hr::kOk));
    }
    Plant(registry, row.before);
}

class ScriptTable : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptTable, OnTheMemoryRegistry) {
    const ScriptCase& row = GetParam();
    registry::MemoryRegistry registry;
    PerUserMode mode(row.perUser);
    CRegObject registrar(registry);
    Prepare(row, registrar, registry);
    for (const Denial& denial : row.denials) {
        std::wstring below;
        const registry::KeyId root = RootOf(denial.key, below);
        registry.Deny(root, below, denial.rights);
    }

    EXPECT_EQ(Hex(registrar.RunScript(row.script.c_str(), row.doRegister)), Hex(row.expected));

    EXPECT_EQ(ContentsOf(registry), Sorted(row.after));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

#ifdef _WIN32
// Every key the rows write below a root that the system already fills; the
// real registry is compared within these subtrees.
const Lines kWatched = {kClassKey, L"HKCR\\CLSID\\{Other}", kTestKey, kUserTestKey,
                        L"HKCU\\Software\\Classes\\.keep", L"HKLM\\Software\\TessalyTest"};

TEST_P(ScriptTable, OnTheSystemRegistry) {
    const ScriptCase& row = GetParam();
    if (row.memoryOnly) GTEST_SKIP() << "needs the in-memory registry";
    RemoveFromSystemRegistry(kWatched);
    registry::WindowsRegistry registry;
    PerUserMode mode(row.perUser);
    CRegObject registrar(registry);
    Prepare(row, registrar, registry);

    EXPECT_EQ(Hex(registrar.RunScript(row.script.c_str(), row.doRegister)), Hex(row.expected));

    EXPECT_EQ(ContentsOfSystemRegistry(kWatched), Within(row.after, kWatched));
    RemoveFromSystemRegistry(kWatched);
}
#endif

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptTable, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ScriptCase>& row) { return row.param.title; });

}  // namespace
}  // namespace tessaly::testing
