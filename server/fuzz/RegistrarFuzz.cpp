// Arbitrary text through the registrar, registering and then unregistering,
// against a fresh in-memory registry that holds a little of everything: other
// software's keys, a refused key, and replacements with quotes, braces and
// percent signs. Crashes, sanitizer reports and hangs are the findings; a key
// left open, an unregistration that adds or changes anything, or one that
// deletes a key or value that the script does not name at that very level,
// is reported as a crash too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include <cwctype>
#include <string_view>

#include "platform/registry/MemoryRegistry.h"
#include "server/RegObject.h"
#include "server/RegistrationMode.h"
#include "server/ReplacementTable.h"
#include "server/ScriptExpansion.h"
#include "server/ScriptNames.h"
#include "server/ScriptReader.h"

namespace {

using namespace tessaly;

void PlantOtherSoftware(registry::MemoryRegistry& registry) {
    // Short names too, where a block read at the wrong level would find them.
    for (const wchar_t* path : {L"CLSID\\{Other}\\InprocServer32", L"Directory\\ShellEx\\ContextMenuHandlers\\Other",
                                L"AppID\\Other.exe", L"A", L"B", L"k"}) {
        registry::Key key;
        registry::CreateKey(registry, registry::kClassesRoot, path, registry::access::kAllAccess, key);
        const wchar_t text[] = L"x";
        registry.SetValue(key.id(), L"", registry::type::kString, text, sizeof text);
    }
    for (const wchar_t* path : {L"Software\\Classes\\A", L"Software\\Classes\\B"}) {
        registry::Key key;
        registry::CreateKey(registry, registry::kCurrentUser, path, registry::access::kAllAccess, key);
    }
    registry.Deny(registry::kLocalMachine, L"Software\\Locked", registry::access::kSetValue);
    registry.Deny(registry::kCurrentUser, L"Software\\Classes\\Sealed", registry::access::kCreateSubKey);
}

void CheckNoKeyLeftOpen(const registry::MemoryRegistry& registry) {
    if (registry.OpenHandleCount() != 0) std::abort();
}

std::set<std::wstring> LinesOf(const registry::MemoryRegistry& registry) {
    std::set<std::wstring> lines;
    for (registry::KeyId root : {registry::kClassesRoot, registry::kCurrentUser, registry::kLocalMachine,
                                 registry::kUsers, registry::kPerformanceData, registry::kCurrentConfig,
                                 registry::kDynData}) {
        std::wistringstream dump(registry.Dump(root));
        for (std::wstring line; std::getline(dump, line);) lines.insert(std::to_wstring(root) + line);
    }
    return lines;
}

// Unregistering only ever deletes: every key and value afterwards was there
// before, unchanged.
void CheckOnlyDeleted(const std::set<std::wstring>& before, const std::set<std::wstring>& after) {
    if (!std::includes(before.begin(), before.end(), after.begin(), after.end())) std::abort();
}

std::wstring Folded(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return text;
}

// What unregistering may delete: the keys and values that the script names
// without NoRemove, each at its own level, as unregistering reads it, up to
// the first point where that reading fails. Keys in a block after a value
// are never deleted and are not counted. Paths are written as LinesOf writes
// them, folded.
class NamedEntries {
public:
    NamedEntries(std::wstring_view expanded) : m_reader(expanded) {
        std::wstring token;
        registry::KeyId root = registry::kNoKey;
        while (!m_reader.AtEnd()) {
            if (!Read(token) || !FindRootKey(token, root) || !Read(token) || !OpensRootBlock(token)) return;
            if (!ReadBlock(std::to_wstring(root), true)) return;
            m_reader.SkipWhiteSpace();
        }
    }

    // A line that went while unregistering: a named key, a value of a named
    // key (it goes with its key), or a named value.
    bool MayGo(const std::wstring& line) const {
        const std::wstring folded = Folded(line);
        if (m_lines.count(folded) != 0) return true;
        for (const std::wstring& start : m_lineStarts)
            if (folded.rfind(start, 0) == 0) return true;
        return false;
    }

    // The dump is read line by line, so a name that holds a line feed
    // cannot be told apart there; such a script is not judged.
    bool Judged() const { return !m_lineFeedInAName; }

private:
    void Name(const std::wstring& line, bool isKey) {
        if (line.find(L'\n') != std::wstring::npos) m_lineFeedInAName = true;
        if (isKey) {
            m_lines.insert(Folded(line));
            m_lineStarts.insert(Folded(line + L" ["));  // its values go with it
        } else {
            m_lineStarts.insert(Folded(line));
        }
    }

    bool Read(std::wstring& token) { return !hr::Failed(m_reader.ReadToken(token)); }
    bool SkipAssignment(std::wstring& token) {
        return !IsAssignment(token) || (Read(token) && Read(token) && Read(token));
    }

    // False when the reading failed inside.
    bool ReadBlock(const std::wstring& path, bool counts) {
        std::wstring token;
        if (!Read(token)) return false;
        while (!IsBlockEnd(token)) {
            if ((IsKeyword(token, keyword::kForceRemove) || IsKeyword(token, keyword::kDelete)) && !Read(token))
                return false;
            const bool removable = !IsKeyword(token, keyword::kNoRemove);
            if (!removable && !Read(token)) return false;
            if (IsKeyword(token, keyword::kValue)) {
                std::wstring name;
                if (!Read(name) || !Read(token) || !IsAssignment(token)) return false;
                if (counts && removable) Name(path + L" [" + (name.empty() ? L"@" : name) + L"] type ", false);
                if (!SkipAssignment(token)) return false;
                if (IsBlockStart(token) && (!ReadBlock(path, false) || !Read(token))) return false;
                continue;
            }
            if (token.empty() || token.find(L'\\') != std::wstring::npos) return false;
            const std::wstring key = path + L"\\" + token;
            if (counts && removable) Name(key, true);
            if (!Read(token) || !SkipAssignment(token)) return false;
            if (IsBlockStart(token) && (!ReadBlock(key, counts) || !Read(token))) return false;
        }
        return true;
    }

    ScriptReader m_reader;
    std::set<std::wstring> m_lines;       // whole lines, folded
    std::set<std::wstring> m_lineStarts;  // starts of lines, folded
    bool m_lineFeedInAName = false;
};

// Unregistering deletes nothing at a level where the script does not name it.
void CheckOnlyNamedDeleted(const std::set<std::wstring>& before, const std::set<std::wstring>& after,
                           const NamedEntries& named) {
    for (const std::wstring& line : before)
        if (named.Judged() && after.count(line) == 0 && !named.MayGo(line)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the mode; the rest is the script, one character a
    // byte, up to the first null as a script text ends there.
    const bool perUser = (data[0] & 1) != 0;
    std::wstring script;
    for (std::size_t i = 1; i < size && data[i] != 0; ++i) script.push_back(static_cast<wchar_t>(data[i]));

    const std::pair<const wchar_t*, const wchar_t*> replacements[] = {
        {L"APPID", L"{733D43C3-335E-4248-9DA6-6223F64E3028}"},
        {L"Module", L"C:\\Team''s Tools\\T\u00EBssaly.dll"},
        {L"Module_Raw", L"C:\\Team''s Tools\\T\u00EBssaly.dll"},
        {L"Braces", L"} HKCR { '"},
        {L"Percent", L"%Module%"},
    };
    registry::MemoryRegistry registry;
    PlantOtherSoftware(registry);
    SetPerUserRegistration(perUser);
    {
        CRegObject registrar(registry);
        ReplacementTable table;
        for (const auto& [name, value] : replacements) {
            registrar.AddReplacement(name, value);
            table.Add(name, value);
        }
        std::wstring expanded;
        if (hr::Failed(ExpandScript(script.c_str(), table, perUser, expanded))) expanded.clear();
        const NamedEntries named(expanded);

        registrar.RunScript(script.c_str(), true);
        CheckNoKeyLeftOpen(registry);
        const std::set<std::wstring> registered = LinesOf(registry);
        registrar.RunScript(script.c_str(), false);
        CheckNoKeyLeftOpen(registry);
        const std::set<std::wstring> unregistered = LinesOf(registry);
        CheckOnlyDeleted(registered, unregistered);
        CheckOnlyNamedDeleted(registered, unregistered, named);
    }
    SetPerUserRegistration(false);
    return 0;
}
