#pragma once
// Third step: the expanded script's effects on the registry. Register
// creates keys and sets values; unregister deletes what the script names,
// keeping NoRemove keys and keys that still have subkeys.
#include <string>
#include <string_view>

#include "platform/Win32Values.h"
#include "platform/registry/Registry.h"
#include "server/ScriptReader.h"

namespace tessaly {

// Deepest nesting of blocks below a root key; the registry itself holds no
// deeper trees, and the limit keeps the parser's recursion bounded.
constexpr unsigned kMaxBlockDepth = 512;

class ScriptRunner {
public:
    ScriptRunner(registry::Registry& registry, std::wstring_view expandedText)
        : m_registry(registry), m_text(expandedText), m_reader(expandedText) {}

    // Runs every root block. In the register direction each root block is
    // first run against a registry that grants everything and keeps nothing,
    // so that a script error fails it before anything is written; a block
    // that then fails in the real registry is run again in the unregister
    // direction to undo it. The run ends with the first failure; blocks
    // finished before it stay.
    //
    // Unregistering, the block of a key that is not there is only read
    // through: nothing in it touches the registry. A failure inside such a
    // block (a script error, the nesting limit) still ends the run with that
    // failure, as anywhere else: where the block ends is not known then, and
    // reading on would take the rest of it for entries one level up, where
    // they would delete keys of the same names.
    // Throws std::bad_alloc only outside root blocks.
    HResult Run(bool doRegister);

private:
    struct Block;

    HResult DryRunRootBlock(registry::KeyId root, std::size_t blockStart) noexcept;
    HResult RunRootBlock(registry::KeyId root, bool doRegister) noexcept;
    HResult ProcessBlock(registry::KeyId parent, bool doRegister, bool skipping, unsigned depth);

    HResult RegisterEntry(Block& block);
    HResult RegisterKey(Block& block);
    HResult RegisterNestedBlock(Block& block);
    HResult UnregisterEntry(Block& block);
    HResult UnregisterKey(Block& block, bool removable);
    HResult DeleteNamedValue(registry::KeyId key, const std::wstring& name);

    // With the "=" read: reads type letter and value, stores the value, and
    // reads the token after it. name null sets the key's default value.
    HResult AssignValue(registry::KeyId key, const wchar_t* name, std::wstring& token);
    // When token is "=", reads past the type letter and value to the next token.
    HResult SkipAssignment(std::wstring& token);

    registry::Registry& m_registry;
    std::wstring_view m_text;
    ScriptReader m_reader;
};

}  // namespace tessaly
