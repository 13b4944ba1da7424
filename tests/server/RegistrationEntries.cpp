#include "RegistrationEntries.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/TextCodec.h"

namespace tessaly::testing {

namespace {
const std::wstring kHandlers = L"\\ShellEx\\ContextMenuHandlers";
}

Lines AppIdEntries(const std::wstring& classes, int bits) {
    return State({Value(classes + L"\\AppID\\" + kApplicationIdText, L"", L"Tessaly"),
                  Value(classes + L"\\AppID\\Tessaly" + std::to_wstring(bits) + L".DLL", L"AppID", kApplicationIdText)});
}

Lines ClassEntries(const std::wstring& classes, const std::wstring& modulePath) {
    const std::wstring handler = classes + L"\\CLSID\\" TESSALY_HANDLER_CLASS;
    return State({Value(handler, L"", L"TessalyShExt Class"), KeyLines(handler + L"\\Programmable"),
                  Value(handler + L"\\InprocServer32", L"", modulePath),
                  Value(handler + L"\\InprocServer32", L"ThreadingModel", L"Apartment")});
}

Lines HookEntries(const std::wstring& classes) {
    const std::wstring entry = kHandlers + L"\\TessalyShExt";
    return State({Value(classes + L"\\Directory\\Background" + entry, L"", TESSALY_HANDLER_CLASS),
                  Value(classes + L"\\Directory" + entry, L"", TESSALY_HANDLER_CLASS),
                  Value(classes + L"\\Drive" + entry, L"", TESSALY_HANDLER_CLASS)});
}

Lines HandlerClassEntries(const std::wstring& classes, const std::wstring& modulePath) {
    return Union(ClassEntries(classes, modulePath), HookEntries(classes));
}

Lines EntriesOfBothBuilds(const std::wstring& classes) {
    return Union(Value(classes + L"\\AppID\\" + kApplicationIdText, L"", L"Tessaly"), HookEntries(classes));
}

Lines ApprovalEntry() { return Value(kApprovedKey, TESSALY_HANDLER_CLASS, L"Tessaly"); }

Lines KeptKeys(const std::wstring& classes) {
    return State({KeyLines(classes + L"\\AppID"), KeyLines(classes + L"\\CLSID"),
                  KeyLines(classes + L"\\Directory\\Background" + kHandlers),
                  KeyLines(classes + L"\\Directory" + kHandlers), KeyLines(classes + L"\\Drive" + kHandlers),
                  KeyLines(kApprovedKey)});
}

Lines WatchedAreas(const std::wstring& classes) {
    return {classes + L"\\AppID\\" + kApplicationIdText, classes + L"\\AppID\\Tessaly64.DLL",
            classes + L"\\AppID\\Tessaly32.DLL",
            classes + L"\\CLSID\\" TESSALY_HANDLER_CLASS, classes + L"\\Directory\\Background" + kHandlers,
            classes + L"\\Directory" + kHandlers, classes + L"\\Drive" + kHandlers, kApprovedKey};
}

Lines RedirectedAreas(const std::wstring& classes) { return {classes + L"\\CLSID\\" TESSALY_HANDLER_CLASS, kApprovedKey}; }

std::string Described(const ModeOrder& order) {
    std::string text;
    for (const ModeStep& step : order)
        text += std::string(text.empty() ? "" : ", ") + (step.perUser ? "user" : "machine") +
                (step.doRegister ? " in" : " out");
    return text;
}

Lines ModesState(const Lines& before, const std::array<bool, 2>& registered, int bits, const std::wstring& modulePath) {
    Lines state = before;
    for (const bool perUser : {false, true}) {
        if (!registered[perUser]) continue;
        const std::wstring& classes = perUser ? kUserClasses : kMachineClasses;
        state = State({state, AppIdEntries(classes, bits), HandlerClassEntries(classes, modulePath), ApprovalEntry()});
    }
    return state;
}

std::wstring ReadRegistrationScript(const std::string& resourceFolder, const char* fileName) {
    std::ifstream file(resourceFolder + "/" + fileName, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) throw std::runtime_error("registration script not found");
    return platform::NarrowToWide(bytes, platform::CodePage::SystemAnsi);
}

const char* AppIdScriptFile(int bits) { return bits == 64 ? "AppIdRegistration.rgs" : "AppIdRegistration32.rgs"; }

}  // namespace tessaly::testing
