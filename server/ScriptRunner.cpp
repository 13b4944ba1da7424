#include "server/ScriptRunner.h"

#include <new>

#include "server/AcceptingRegistry.h"
#include "server/KeyDeletion.h"
#include "server/ScriptNames.h"
#include "server/ValueData.h"

namespace tessaly {

using registry::Key;
using registry::KeyId;
using registry::access::kRead;
using registry::access::kWrite;

#define RETURN_IF_FAILED(expression)                    \
    do {                                                \
        const HResult result_ = (expression);           \
        if (hr::Failed(result_)) return result_;        \
    } while (false)

namespace {

// Keys are named one level at a time. An empty name would address the parent
// itself, so that ForceRemove '' would wipe out everything below the parent.
bool IsValidKeyName(const std::wstring& name) { return !name.empty() && name.find(L'\\') == std::wstring::npos; }

}  // namespace

// One block level: where it hangs, how it is run, the key it last opened and
// the token in hand.
struct ScriptRunner::Block {
    KeyId parent;
    bool skipping;
    unsigned depth;
    Key current;
    std::wstring token;
};

HResult ScriptRunner::Run(bool doRegister) {
    std::wstring token;
    while (!m_reader.AtEnd()) {
        RETURN_IF_FAILED(m_reader.ReadToken(token));
        KeyId root = registry::kNoKey;
        if (!FindRootKey(token, root)) return hr::kDispException;
        RETURN_IF_FAILED(m_reader.ReadToken(token));
        if (!OpensRootBlock(token)) return hr::kDispException;
        if (doRegister) {
            const std::size_t blockStart = m_reader.Position();
            RETURN_IF_FAILED(DryRunRootBlock(root, blockStart));
            const HResult result = RunRootBlock(root, true);
            if (hr::Failed(result)) {
                m_reader.Rewind(blockStart);
                (void)RunRootBlock(root, false);  // best effort: the failure is what counts
                return result;
            }
        } else {
            RETURN_IF_FAILED(RunRootBlock(root, false));
        }
        m_reader.SkipWhiteSpace();
    }
    return hr::kOk;
}

// The undo reads the block again: it can only undo what it can read, so a
// script error must show before the first write. A run against a registry
// that grants everything takes the very path of the real run.
HResult ScriptRunner::DryRunRootBlock(KeyId root, std::size_t blockStart) noexcept {
    AcceptingRegistry accepting;
    ScriptRunner dryRun(accepting, m_text);
    dryRun.m_reader.Rewind(blockStart);
    return dryRun.RunRootBlock(root, true);
}

HResult ScriptRunner::RunRootBlock(KeyId root, bool doRegister) noexcept {
    try {
        return ProcessBlock(root, doRegister, false, 1);
    } catch (const std::bad_alloc&) {
        return hr::kOutOfMemory;
    }
}

HResult ScriptRunner::ProcessBlock(KeyId parent, bool doRegister, bool skipping, unsigned depth) {
    if (depth > kMaxBlockDepth) return hr::kDispException;
    Block block{parent, skipping, depth, Key(), std::wstring()};
    RETURN_IF_FAILED(m_reader.ReadToken(block.token));
    while (!IsBlockEnd(block.token)) {
        RETURN_IF_FAILED(doRegister ? RegisterEntry(block) : UnregisterEntry(block));
    }
    return hr::kOk;
}

// ---- register direction ----

HResult ScriptRunner::RegisterEntry(Block& block) {
    std::wstring& token = block.token;
    const bool forceRemove = IsKeyword(token, keyword::kForceRemove);
    const bool isDelete = IsKeyword(token, keyword::kDelete);
    if (forceRemove || isDelete) {
        RETURN_IF_FAILED(m_reader.ReadToken(token));
        if (!IsValidKeyName(token)) return hr::kDispException;
        // Whatever stood there goes, so that the entry is written afresh; a
        // key that cannot be deleted is simply written over.
        if (!IsProtectedKeyName(token))
            (void)DeleteKeyWithSubKeys(m_registry, block.parent, token.c_str());
        if (isDelete) {
            RETURN_IF_FAILED(m_reader.ReadToken(token));
            RETURN_IF_FAILED(SkipAssignment(token));
            return RegisterNestedBlock(block);
        }
    }
    if (IsKeyword(token, keyword::kNoRemove)) RETURN_IF_FAILED(m_reader.ReadToken(token));
    if (IsKeyword(token, keyword::kValue)) {
        std::wstring name;
        RETURN_IF_FAILED(m_reader.ReadToken(name));
        RETURN_IF_FAILED(m_reader.ReadToken(token));
        if (!IsAssignment(token)) return hr::kDispException;
        RETURN_IF_FAILED(AssignValue(block.parent, name.c_str(), token));
        return RegisterNestedBlock(block);
    }
    return RegisterKey(block);
}

HResult ScriptRunner::RegisterKey(Block& block) {
    std::wstring& token = block.token;
    if (!IsValidKeyName(token)) return hr::kDispException;
    // Open for writing where allowed; a key that may only be read is still
    // walked through, and writing into it fails later with the real error.
    Key key;
    if (registry::OpenKey(m_registry, block.parent, token.c_str(), kRead | kWrite, key) != win32::kSuccess &&
        registry::OpenKey(m_registry, block.parent, token.c_str(), kRead, key) != win32::kSuccess) {
        if (Win32Error error = registry::CreateKey(m_registry, block.parent, token.c_str(), kRead | kWrite, key))
            return hr::FromWin32(error);
    }
    block.current = std::move(key);
    RETURN_IF_FAILED(m_reader.ReadToken(token));
    if (IsAssignment(token)) RETURN_IF_FAILED(AssignValue(block.current.id(), nullptr, token));
    return RegisterNestedBlock(block);
}

HResult ScriptRunner::RegisterNestedBlock(Block& block) {
    if (!IsBlockStart(block.token)) return hr::kOk;
    // A block after a value or a Delete entry belongs to the key last opened
    // in this block; with none opened yet it has nowhere to go.
    if (!block.current.valid()) return hr::kDispException;
    RETURN_IF_FAILED(ProcessBlock(block.current.id(), true, false, block.depth + 1));
    return m_reader.ReadToken(block.token);
}

HResult ScriptRunner::AssignValue(KeyId key, const wchar_t* name, std::wstring& token) {
    RETURN_IF_FAILED(m_reader.ReadToken(token));
    if (!IsValueTypeLetter(token)) return hr::kDispException;
    const wchar_t typeLetter = token[0];
    RETURN_IF_FAILED(m_reader.ReadToken(token));
    ValueData data;
    RETURN_IF_FAILED(EncodeValue(typeLetter, token, data));
    if (Win32Error error = m_registry.SetValue(key, name, data.type, data.bytes.data(),
                                               static_cast<std::uint32_t>(data.bytes.size())))
        return hr::FromWin32(error);
    return m_reader.ReadToken(token);
}

HResult ScriptRunner::SkipAssignment(std::wstring& token) {
    if (!IsAssignment(token)) return hr::kOk;
    RETURN_IF_FAILED(m_reader.ReadToken(token));  // type letter, not checked
    RETURN_IF_FAILED(m_reader.ReadToken(token));  // value
    return m_reader.ReadToken(token);
}

// ---- unregister direction ----

HResult ScriptRunner::UnregisterEntry(Block& block) {
    std::wstring& token = block.token;
    // ForceRemove and Delete mean nothing when unregistering.
    if (IsKeyword(token, keyword::kForceRemove) || IsKeyword(token, keyword::kDelete))
        RETURN_IF_FAILED(m_reader.ReadToken(token));
    bool removable = true;
    if (IsKeyword(token, keyword::kNoRemove)) {
        removable = false;
        RETURN_IF_FAILED(m_reader.ReadToken(token));
    }
    if (IsKeyword(token, keyword::kValue)) {
        std::wstring name;
        RETURN_IF_FAILED(m_reader.ReadToken(name));
        RETURN_IF_FAILED(m_reader.ReadToken(token));
        if (!IsAssignment(token)) return hr::kDispException;
        if (!block.skipping && removable) RETURN_IF_FAILED(DeleteNamedValue(block.parent, name));
        RETURN_IF_FAILED(SkipAssignment(token));
        if (IsBlockStart(token)) {
            // Registering put this block under a key that is closed by now.
            // Reading it through keeps the entries after it at their level,
            // where taking "{" as a key name would not; so its keys stay.
            RETURN_IF_FAILED(ProcessBlock(registry::kNoKey, false, true, block.depth + 1));
            RETURN_IF_FAILED(m_reader.ReadToken(token));
        }
        return hr::kOk;
    }
    return UnregisterKey(block, removable);
}

HResult ScriptRunner::UnregisterKey(Block& block, bool removable) {
    std::wstring& token = block.token;
    if (!IsValidKeyName(token)) return hr::kDispException;
    Win32Error openError = win32::kFileNotFound;
    if (!block.skipping) {
        Key key;
        openError = registry::OpenKey(m_registry, block.parent, token.c_str(), kRead, key);
        if (openError == win32::kSuccess) block.current = std::move(key);
    }
    const bool opened = openError == win32::kSuccess;
    const std::wstring name = token;

    RETURN_IF_FAILED(m_reader.ReadToken(token));
    RETURN_IF_FAILED(SkipAssignment(token));
    if (IsBlockStart(token)) {
        // A key that is not there has nothing below it to delete: its block
        // is only read through, and a failure inside it ends the run (see Run).
        RETURN_IF_FAILED(
            ProcessBlock(opened ? block.current.id() : registry::kNoKey, false, !opened, block.depth + 1));
        RETURN_IF_FAILED(m_reader.ReadToken(token));
    }
    if (!opened) return openError == win32::kFileNotFound ? hr::kOk : hr::FromWin32(openError);

    // Values do not keep a key: one without subkeys goes with its values.
    bool hasSubKeys = false;
    if (m_registry.HasSubKeys(block.current.id(), hasSubKeys) != win32::kSuccess) hasSubKeys = false;
    if (Win32Error error = block.current.Close()) return hr::FromWin32(error);
    if (removable && !hasSubKeys) {
        if (Win32Error error = m_registry.DeleteKey(block.parent, name.c_str())) return hr::FromWin32(error);
    }
    return hr::kOk;
}

HResult ScriptRunner::DeleteNamedValue(KeyId key, const std::wstring& name) {
    Key writable;
    if (Win32Error error = registry::OpenKey(m_registry, key, nullptr, kWrite, writable)) return hr::FromWin32(error);
    const Win32Error error = m_registry.DeleteValue(writable.id(), name.c_str());
    if (error != win32::kSuccess && error != win32::kFileNotFound) return hr::FromWin32(error);
    return hr::kOk;
}

}  // namespace tessaly
