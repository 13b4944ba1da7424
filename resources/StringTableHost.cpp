// The host has no resource loader: the same texts, compiled in.
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "resources/StringTexts.h"

namespace tessaly::resources {

namespace {
struct Entry {
    unsigned id;
    const wchar_t* text;
};
constexpr Entry kEntries[] = {
    {IDS_APP_NAME, L"" TESSALY_TEXT_APP_NAME},
    {IDS_WEB_URL, L"" TESSALY_TEXT_WEB_URL},
    {IDS_WEB_HOST, L"" TESSALY_TEXT_WEB_HOST},
};
}  // namespace

std::wstring LoadText(unsigned id) {
    for (const Entry& entry : kEntries)
        if (entry.id == id) return entry.text;
    return {};
}

}  // namespace tessaly::resources
