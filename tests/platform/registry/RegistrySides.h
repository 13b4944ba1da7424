#pragma once
// The registries a table of cases runs against: the in-memory one on every
// side, and the real one when the tests run on Windows (under Wine each test
// program has a throwaway prefix, so writing the user's hive is harmless).
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry/MemoryRegistry.h"
#include "platform/registry/Registry.h"
#ifdef _WIN32
#include "platform/registry/WindowsRegistry.h"
#endif

namespace tessaly::testing {

struct RegistrySide {
    std::string name;
    std::function<std::unique_ptr<registry::Registry>()> make;
};

// A new user's in-memory registry: HKEY_CURRENT_USER holds an empty Software key.
inline std::unique_ptr<registry::MemoryRegistry> NewUserMemoryRegistry() {
    auto memory = std::make_unique<registry::MemoryRegistry>();
    registry::Key software;
    registry::CreateKey(*memory, registry::kCurrentUser, L"Software", registry::access::kAllAccess, software);
    return memory;
}

inline std::vector<RegistrySide> RegistrySides() {
    std::vector<RegistrySide> sides;
    sides.push_back({"Memory", []() -> std::unique_ptr<registry::Registry> { return NewUserMemoryRegistry(); }});
#ifdef _WIN32
    sides.push_back({"Windows", []() -> std::unique_ptr<registry::Registry> {
                         return std::make_unique<registry::WindowsRegistry>();
                     }});
#endif
    return sides;
}

inline void PrintTo(const RegistrySide& side, std::ostream* out) { *out << side.name; }

inline std::string SideName(const ::testing::TestParamInfo<RegistrySide>& info) { return info.param.name; }

}  // namespace tessaly::testing
