#pragma once
// Registry states as sorted lists of lines, one per key and value, so that a
// test can state a whole expected state and compare it with what a registry
// holds. Lines look like MemoryRegistry::Dump's, with the root in front:
//   HKCR\CLSID
//   HKCR\CLSID\{...} [@] type 1 = 78 00 00 00      ("@" is the default value)
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry/MemoryRegistry.h"

namespace tessaly::testing {

using Lines = std::vector<std::wstring>;

// "HKCR\A\B" split into its root and the path below it.
registry::KeyId RootOf(const std::wstring& path, std::wstring& below);

// Something a test puts into a registry beforehand: a key (with every key
// above it), and a string value in it when valueName is set ("" for the
// default value).
struct Seed {
    Seed(std::wstring keyPath) : key(std::move(keyPath)) {}
    Seed(std::wstring keyPath, const wchar_t* name, std::wstring valueText)
        : key(std::move(keyPath)), valueName(name), text(std::move(valueText)) {}

    std::wstring key;
    const wchar_t* valueName = nullptr;
    std::wstring text;
};
void Plant(registry::Registry& registry, const std::vector<Seed>& seeds);

// The line of a REG_SZ value as the registry stores it (UTF-16LE with its null).
std::wstring StringLine(const std::wstring& key, const std::wstring& valueName, const std::wstring& text);
// The line of a key and of every key above it below the root.
Lines KeyLines(const std::wstring& key);

// Everything the in-memory registry holds, all roots.
Lines ContentsOf(const registry::MemoryRegistry& registry);

// The lines of a state that lie in one of the given subtrees (the subtree's
// own key included).
Lines Within(const Lines& lines, const Lines& subtrees);

Lines Sorted(Lines lines);
Lines Union(const Lines& a, const Lines& b);
// The union of several parts of a state.
Lines State(std::initializer_list<Lines> parts);
// A key (and the keys above it) holding a REG_SZ value.
Lines Value(const std::wstring& key, const std::wstring& valueName, const std::wstring& text);

}  // namespace tessaly::testing
