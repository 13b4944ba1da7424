#include "tools/installer/InstallerRegistry.h"

#include <algorithm>
#include <map>

#include "platform/registry/MemoryRegistry.h"
#include "server/RegObject.h"

namespace tessaly::installer {
namespace {

// The registry's REG_SZ bytes (UTF-16LE, ending in a null) as text.
bool StringFromHex(const std::wstring& hex, std::wstring& text) {
    std::vector<unsigned> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3) bytes.push_back(std::stoul(hex.substr(i, 2), nullptr, 16));
    if (bytes.size() % 2 != 0 || bytes.size() < 2 || bytes[bytes.size() - 1] != 0 || bytes[bytes.size() - 2] != 0)
        return false;
    text.clear();
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 2) text += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
    return true;
}

// Reads MemoryRegistry::Dump: "\A\B" for a key, "\A\B [name] type 1 = 61 00 ..." for a value.
bool RowsOfRoot(const std::wstring& dump, const std::wstring& rootName, std::vector<RegistryRow>& rows,
                std::wstring& error) {
    std::map<std::wstring, bool> keyHasContent;  // key path -> has a value or a subkey
    std::size_t start = 0;
    while (start < dump.size()) {
        const std::size_t end = dump.find(L'\n', start);
        const std::wstring line = dump.substr(start, end - start);
        start = end == std::wstring::npos ? dump.size() : end + 1;
        const std::size_t open = line.find(L" [");
        if (open == std::wstring::npos) {
            keyHasContent.emplace(line.substr(1), false);
            const std::size_t parent = line.rfind(L'\\');
            if (parent > 0) keyHasContent[line.substr(1, parent - 1)] = true;
            continue;
        }
        const std::size_t close = line.find(L"] type ", open);
        const std::size_t equals = line.find(L" =", close);
        if (close == std::wstring::npos || equals == std::wstring::npos) {
            error = L"unreadable registry line: " + line;
            return false;
        }
        RegistryRow row;
        row.root = rootName;
        row.key = line.substr(1, open - 1);
        row.name = line.substr(open + 2, close - open - 2);
        if (row.name == L"@") row.name.clear();
        const std::wstring type = line.substr(close + 7, equals - close - 7);
        if (type != L"1" || !StringFromHex(line.substr(std::min(equals + 3, line.size())), row.value)) {
            error = L"not a text value: " + rootName + L"\\" + row.key + L" [" + row.name + L"]";
            return false;
        }
        keyHasContent[row.key] = true;
        rows.push_back(std::move(row));
    }
    for (const auto& [key, hasContent] : keyHasContent)
        if (!hasContent) rows.push_back(RegistryRow{rootName, key, L"", L"", true});
    return true;
}

HResult RunScript(registry::Registry& registry, const std::wstring& text, const std::wstring& applicationId,
                  const std::wstring& modulePath, bool appIdTable) {
    CRegObject registrar(registry);
    if (appIdTable) registrar.AddReplacement(L"APPID", applicationId.c_str());
    registrar.AddReplacement(L"APPID", applicationId.c_str());  // the module's common replacement
    // No quote to double: RegistrationRows refuses a path that holds one.
    registrar.AddReplacement(L"Module", modulePath.c_str());
    registrar.AddReplacement(L"Module_Raw", modulePath.c_str());
    return registrar.RunScript(text.c_str(), true);
}

std::wstring XmlEscaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
            case L'&': out += L"&amp;"; break;
            case L'<': out += L"&lt;"; break;
            case L'>': out += L"&gt;"; break;
            case L'"': out += L"&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

HResult RegistrationRows(const Scripts& scripts, const std::wstring& applicationId, const std::wstring& modulePath,
                         std::vector<RegistryRow>& rows, std::wstring& error) {
    if (modulePath.find(L'\'') != std::wstring::npos) {
        error = L"a module path with a single quote: " + modulePath;
        return hr::kInvalidArg;
    }
    registry::MemoryRegistry registry;
    HResult result = RunScript(registry, scripts.appId, applicationId, modulePath, true);
    if (hr::Succeeded(result)) result = RunScript(registry, scripts.handler, applicationId, modulePath, false);
    if (hr::Failed(result)) {
        error = L"the registration scripts failed";
        return result;
    }
    rows.clear();
    const std::pair<registry::KeyId, const wchar_t*> roots[] = {
        {registry::kClassesRoot, L"HKCR"}, {registry::kCurrentUser, L"HKCU"}, {registry::kLocalMachine, L"HKLM"},
        {registry::kUsers, L"HKU"}};
    for (const auto& [root, name] : roots)
        if (!RowsOfRoot(registry.Dump(root), name, rows, error)) return hr::kFail;

    // The installer reads these columns as formatted text, and a value or
    // name with a leading mark as an instruction.
    for (RegistryRow& row : rows) {
        if (row.name == L"+" || row.name == L"-" || row.name == L"*") {
            error = L"a value name the installer reads as an instruction: " + row.name;
            return hr::kFail;
        }
        row.key = Formatted(row.key, modulePath);
        row.name = Formatted(row.name, modulePath);
        row.value = Formatted(row.value, modulePath);
        if (!row.value.empty() && row.value[0] == L'#') row.value.insert(0, 1, L'#');
    }
    return hr::kOk;
}

std::wstring Formatted(const std::wstring& text, const std::wstring& modulePath) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        if (!modulePath.empty() && text.compare(i, modulePath.size(), modulePath) == 0) {
            out += modulePath;
            i += modulePath.size();
            continue;
        }
        if (text[i] == L'[') out += L"[\\[]";
        else if (text[i] == L']') out += L"[\\]]";
        else out += text[i];
        ++i;
    }
    return out;
}

std::wstring WixElements(const std::vector<RegistryRow>& rows, const std::wstring& indent) {
    std::wstring out;
    for (const RegistryRow& row : rows) {
        if (row.keyOnly) {
            // The Registry table's "*" row: the key is created on install and
            // removed with everything below it on uninstall (wixl knows no
            // RegistryKey actions, but writes this row as it stands).
            out += indent + L"<RegistryValue Root=\"" + row.root + L"\" Key=\"" + XmlEscaped(row.key) +
                   L"\" Name=\"*\" Type=\"string\" Value=\"\" />\n";
            continue;
        }
        out += indent + L"<RegistryValue Root=\"" + row.root + L"\" Key=\"" + XmlEscaped(row.key) + L"\"" +
               (row.name.empty() ? L"" : L" Name=\"" + XmlEscaped(row.name) + L"\"") + L" Type=\"string\" Value=\"" +
               XmlEscaped(row.value) + L"\" />\n";
    }
    return out;
}

std::vector<std::wstring> TableLines(const std::vector<RegistryRow>& rows) {
    const std::map<std::wstring, std::wstring> rootNumbers = {
        {L"HKCR", L"0"}, {L"HKCU", L"1"}, {L"HKLM", L"2"}, {L"HKU", L"3"}};
    std::vector<std::wstring> lines;
    for (const RegistryRow& row : rows)
        lines.push_back(rootNumbers.at(row.root) + L"\t" + row.key + L"\t" + (row.keyOnly ? L"*" : row.name) + L"\t" +
                        row.value);
    std::sort(lines.begin(), lines.end());
    return lines;
}

}  // namespace tessaly::installer
