#include "RegistryContents.h"

#include <algorithm>
#include <cwctype>
#include <set>
#include <sstream>
#include <stdexcept>

namespace tessaly::testing {

namespace {

struct RootName {
    const wchar_t* name;
    registry::KeyId key;
};
const RootName kRoots[] = {
    {L"HKCR", registry::kClassesRoot}, {L"HKCU", registry::kCurrentUser},     {L"HKLM", registry::kLocalMachine},
    {L"HKU", registry::kUsers},        {L"HKPD", registry::kPerformanceData}, {L"HKCC", registry::kCurrentConfig},
    {L"HKDD", registry::kDynData},
};

bool StartsWithFolded(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::towupper(text[i]) != std::towupper(prefix[i])) return false;
    }
    return true;
}

}  // namespace

registry::KeyId RootOf(const std::wstring& path, std::wstring& below) {
    const std::size_t separator = path.find(L'\\');
    const std::wstring rootName = path.substr(0, separator);
    below = separator == std::wstring::npos ? L"" : path.substr(separator + 1);
    for (const RootName& root : kRoots) {
        if (rootName == root.name) return root.key;
    }
    throw std::invalid_argument("unknown root in a test path");
}

void Plant(registry::Registry& registry, const std::vector<Seed>& seeds) {
    for (const Seed& seed : seeds) {
        std::wstring below;
        const registry::KeyId root = RootOf(seed.key, below);
        registry::Key key;
        if (registry::CreateKey(registry, root, below.c_str(), registry::access::kAllAccess, key) != 0)
            throw std::runtime_error("cannot plant a test key");
        if (seed.valueName == nullptr) continue;
        std::vector<unsigned char> bytes;
        for (wchar_t c : seed.text) {
            bytes.push_back(static_cast<unsigned char>(c & 0xFF));
            bytes.push_back(static_cast<unsigned char>((c >> 8) & 0xFF));
        }
        bytes.push_back(0);
        bytes.push_back(0);
        if (registry.SetValue(key.id(), seed.valueName, registry::type::kString, bytes.data(),
                              static_cast<std::uint32_t>(bytes.size())) != 0)
            throw std::runtime_error("cannot plant a test value");
    }
}

std::wstring StringLine(const std::wstring& key, const std::wstring& valueName, const std::wstring& text) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring line = key + L" [" + (valueName.empty() ? L"@" : valueName) + L"] type 1 =";
    auto addByte = [&](unsigned byte) {
        line += L' ';
        line += kHex[(byte >> 4) & 0xF];
        line += kHex[byte & 0xF];
    };
    for (wchar_t c : text) {  // test texts stay in the basic plane
        addByte(static_cast<unsigned>(c) & 0xFF);
        addByte((static_cast<unsigned>(c) >> 8) & 0xFF);
    }
    addByte(0);
    addByte(0);
    return line;
}

Lines KeyLines(const std::wstring& key) {
    Lines lines;
    for (std::size_t separator = key.find(L'\\', key.find(L'\\') + 1); separator != std::wstring::npos;
         separator = key.find(L'\\', separator + 1))
        lines.push_back(key.substr(0, separator));
    lines.push_back(key);
    return lines;
}

Lines ContentsOf(const registry::MemoryRegistry& registry) {
    Lines lines;
    for (const RootName& root : kRoots) {
        std::wistringstream dump(registry.Dump(root.key));
        for (std::wstring line; std::getline(dump, line);) lines.push_back(root.name + line);
    }
    return Sorted(std::move(lines));
}

Lines Within(const Lines& lines, const Lines& subtrees) {
    Lines inside;
    for (const std::wstring& line : lines) {
        for (const std::wstring& subtree : subtrees) {
            if (StartsWithFolded(line, subtree) &&
                (line.size() == subtree.size() || line[subtree.size()] == L'\\' || line[subtree.size()] == L' ')) {
                inside.push_back(line);
                break;
            }
        }
    }
    return Sorted(std::move(inside));
}

Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

Lines Union(const Lines& a, const Lines& b) {
    std::set<std::wstring> all(a.begin(), a.end());
    all.insert(b.begin(), b.end());
    return Lines(all.begin(), all.end());
}

Lines State(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all = Union(all, part);
    return all;
}

Lines Value(const std::wstring& key, const std::wstring& valueName, const std::wstring& text) {
    return Union(KeyLines(key), {StringLine(key, valueName, text)});
}

}  // namespace tessaly::testing
