#include "tools/soak/SoakInputs.h"

#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tessaly::soak {

std::uint64_t Rng::Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t Mix(std::uint64_t a, std::uint64_t b) { return Rng(a * 0x100000001B3ull ^ b).Next(); }

std::string Format(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c >= 32 && c < 127 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace

// ---- places -----------------------------------------------------------------

Places::Places() {
    ::SetCurrentDirectoryW(here.Path().c_str());
    few.MakeFiles(6);
    many.MakeFiles(150);
    for (const wchar_t* name : {L"100% %s %n.txt", L"Tom & Jerry.txt", L"smile \U0001F600.txt"}) odd.MakeFile(name);
    odd.MakeFile(std::wstring(251, L'n') + L".txt");
    odd.MakeFile(L"50%s%n.");  // listed, but cannot be opened by its plain path
    ::CreateDirectoryW(odd.PathOf(L"sub").c_str(), nullptr);
    // 235 characters: the folder itself still fits, its files' paths do not.
    deep = odd.PathOf(std::wstring(234 - odd.Path().size(), L'd'));
    ::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    const HANDLE made = ::CreateFileW((L"\\\\?\\" + deep + L"\\a file whose path is too long.txt").c_str(),
                                      GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (made != INVALID_HANDLE_VALUE) ::CloseHandle(made);
    file = few.PathOf(L"f00000.txt");
    wchar_t share[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TESSALY_SOAK_SLOW_FOLDER", share, MAX_PATH) - 1u < MAX_PATH - 1u) slow = share;
}

bool Places::Made(const std::wstring& name) const {
    const wchar_t* const odds[] = {L"100% %s %n.txt", L"Tom & Jerry.txt", L"smile \U0001F600.txt", L"50%s%n.",
                                   L"a file whose path is too long.txt"};
    for (const wchar_t* made : odds)
        if (name == made) return true;
    const bool numbered = name.size() == 10 && name[0] == L'f' && name.compare(6, 4, L".txt") == 0 &&
                          name.find_first_not_of(L"0123456789", 1) == 6;
    return numbered || name == std::wstring(251, L'n') + L".txt";
}

namespace {

struct Place {
    const char* name;
    std::wstring path;
};

Place RandomPath(Rng& rng, const Places& places) {
    switch (rng.Below(places.slow.empty() ? 15 : 16)) {
        case 0: return {"folder few", places.few.Path()};
        case 1: return {"folder empty", places.empty.Path()};
        case 2: return {"folder many", places.many.Path()};
        case 3: return {"folder odd", places.odd.Path()};
        case 4: return {"folder deep", places.deep};
        case 5: return {"plain file", places.file};
        case 6: return {"C:\\", L"C:\\"};
        case 7: return {"Q:\\ (no such drive)", L"Q:\\"};
        case 8: return {"missing folder", L"C:\\no such folder"};
        case 9: return {"empty path", L""};
        case 10: return {"259 characters", L"C:\\" + std::wstring(256, L'x')};
        case 11: return {"300 characters", L"C:\\" + std::wstring(297, L'x')};
        case 12: return {"non-ASCII", L"C:\\Gr\u00FC\u00DFe 100% \u4E2D"};
        case 13: return {"subfolder sub", places.odd.PathOf(L"sub")};
        case 15: return {"folder slow", places.slow};
        default: return {"folder few, slash ended", places.few.Path() + L"\\"};
    }
}

std::string Encoded(const std::wstring& path, bool wide) {
    if (wide) return std::string(reinterpret_cast<const char*>(path.data()), path.size() * sizeof(wchar_t));
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), narrow.data(), bytes, nullptr,
                              nullptr);
    return narrow;
}

// A block that may hold anything a careless producer writes: the header and
// a list of paths, well formed, or cut, without its last terminator, with
// junk after it, an offset that points anywhere, a block too small.
std::string RandomBlock(Rng& rng, const Places& places, std::string& what) {
    const unsigned shape = rng.Below(10);
    const unsigned count = shape == 0 ? 0 : shape < 7 ? 1 : shape < 9 ? 2 + rng.Below(3) : 20 + rng.Below(300);
    const bool wide = rng.Percent(75);
    const std::size_t unit = wide ? 2 : 1;
    std::string list;
    what += Format("%s list of %u", wide ? "wide" : "narrow", count);
    for (unsigned i = 0; i < count; ++i) {
        const Place place = RandomPath(rng, places);
        if (i < 3) what += i == 0 ? std::string(" (") + place.name : std::string(", ") + place.name;
        list += Encoded(place.path, wide);
        list.append(unit, '\0');
    }
    if (count > 0) what += count > 3 ? ", ...)" : ")";
    list.append(unit, '\0');
    switch (rng.Below(8)) {
        case 0:
            list.resize(list.size() - unit);
            what += ", final terminator missing";
            break;
        case 1:
            list.resize(rng.Below(static_cast<std::uint32_t>(list.size())));
            what += Format(", cut to %u bytes", static_cast<unsigned>(list.size()));
            break;
        case 2:
            for (unsigned i = 1 + rng.Below(16); i > 0; --i) list += static_cast<char>(1 + rng.Below(255));
            what += ", junk after it";
            break;
        default: break;
    }

    DROPFILES header = {};
    header.pFiles = sizeof header;
    header.fWide = wide;
    if (rng.Percent(10)) {
        header.pt = {static_cast<LONG>(rng.Next()), static_cast<LONG>(rng.Next())};
        header.fNC = static_cast<BOOL>(rng.Below(3));
    }
    if (rng.Percent(5)) {
        const BOOL flags[] = {0, 1, 2, static_cast<BOOL>(0x80000000)};
        header.fWide = rng.Pick(flags);
        what += Format(", fWide %d", header.fWide);
    }
    if (rng.Percent(25)) {
        const DWORD size = static_cast<DWORD>(sizeof header + list.size());
        const DWORD offsets[] = {0, 8, 19, 21, 22, size - 1, size, size + 1, size + 4096, 0x7FFFFFF0, 0xFFFFFFFF};
        header.pFiles = rng.Pick(offsets);
        what += Format(", pFiles %lu", static_cast<unsigned long>(header.pFiles));
    }
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    block += list;
    switch (rng.Below(20)) {
        case 0: block.clear(); break;
        case 1: block.resize(rng.Below(sizeof header)); break;
        case 2:
        case 3: block.append(1 + rng.Below(64), '\0'); break;
        default: break;
    }
    what += Format(", block of %u bytes", static_cast<unsigned>(block.size()));
    return block;
}

// What the folder rule makes of a readable block, asked of the system on a
// copy that is known to be sound.
DropOutcome OutcomeOf(const std::string& block) {
    if (!DropListFits(block)) return DropOutcome::Unavailable;
    const HGLOBAL copy = testing::GlobalBlock(block, GMEM_FIXED);
    const HDROP drop = static_cast<HDROP>(copy);
    DropOutcome outcome = DropOutcome::NoFolder;
    if (::DragQueryFileW(drop, 0xFFFFFFFFu, nullptr, 0) == 1) {
        const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
        wchar_t path[MAX_PATH] = {};
        // A path that would not fit the buffer is refused, not cut; only a
        // full path (a drive's or a share's) names the folder clicked.
        const bool fits = length > 0 && length < MAX_PATH && ::DragQueryFileW(drop, 0, path, MAX_PATH) > 0;
        const bool letter = (path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z';
        const bool full = (letter && path[1] == L':' && path[2] == L'\\') || (path[0] == L'\\' && path[1] == L'\\');
        if (fits && full && (::GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY) != 0)
            outcome = DropOutcome::Folder;
    }
    ::GlobalFree(copy);
    return outcome;
}

}  // namespace

bool DropListFits(const std::string& block) {
    DROPFILES header;
    if (block.size() < sizeof header) return false;
    std::memcpy(&header, block.data(), sizeof header);
    const std::size_t unit = header.fWide ? 2 : 1;
    bool previousWasNull = false;
    for (std::size_t at = header.pFiles; at <= block.size() && block.size() - at >= unit; at += unit) {
        const bool isNull = block.compare(at, unit, std::string(unit, '\0')) == 0;
        if (isNull && previousWasNull) return true;
        previousWasNull = isNull;
    }
    return false;
}

// ---- item lists and data objects --------------------------------------------

ItemList::ItemList(Rng& rng, const Places& places) {
    const auto special = [&](int place, const char* name) {
        ::SHGetSpecialFolderLocation(nullptr, place, &list);
        what = name;
    };
    const auto path = [&](const std::wstring& at, const char* name) {
        list = ::ILCreateFromPathW(at.c_str());
        what = name;
    };
    switch (rng.Below(places.slow.empty() ? 10 : 11)) {
        case 0: what = "null"; break;
        case 10: path(places.slow, "folder slow"); break;
        case 1: path(places.few.Path(), "folder few"); break;
        case 2: path(places.empty.Path(), "folder empty"); break;
        case 3: path(places.many.Path(), "folder many"); break;
        case 4: path(places.odd.Path(), "folder odd"); break;
        case 5: path(places.deep, "folder deep"); break;
        case 6: path(places.file, "plain file"); break;
        case 7: path(L"C:\\", "drive C:\\"); break;
        case 8: special(CSIDL_DRIVES, "the computer folder"); break;
        default: special(CSIDL_CONTROLS, "the control panel"); break;
    }
    wchar_t resolved[MAX_PATH];
    hasPath = list != nullptr && ::SHGetPathFromIDListW(list, resolved);
}

ItemList::~ItemList() { ::ILFree(list); }

DropInput::DropInput(Rng& rng, const Places& places) {
    const unsigned kind = rng.Below(100);
    if (kind < 15) {
        const HRESULT refusals[] = {DV_E_FORMATETC, DV_E_TYMED, E_FAIL, E_OUTOFMEMORY, E_UNEXPECTED};
        const HRESULT refusal = rng.Pick(refusals);
        what = Format("GetData fails with 0x%08lx", static_cast<unsigned long>(refusal));
        object = testing::NewDataObject([refusal](STGMEDIUM&) { return refusal; }, &data);
        return;
    }
    if (kind < 25) {
        const DWORD media[] = {TYMED_ISTREAM, TYMED_FILE, TYMED_GDI, TYMED_NULL};
        const DWORD medium = rng.Pick(media);
        what = Format("GetData S_OK on medium %lu", static_cast<unsigned long>(medium));
        const std::string block = testing::DropListBytes({places.few.Path()});
        object = testing::NewDataObject(
            [medium, block](STGMEDIUM& made) {
                made.tymed = medium;
                static const wchar_t kName[] = L"C:\\no such file";
                if (medium == TYMED_ISTREAM) {
                    ::CreateStreamOnHGlobal(testing::GlobalBlock(block), TRUE, &made.pstm);
                } else if (medium == TYMED_FILE) {
                    made.lpszFileName = static_cast<LPOLESTR>(::CoTaskMemAlloc(sizeof kName));
                    std::memcpy(made.lpszFileName, kName, sizeof kName);
                } else if (medium == TYMED_GDI) {
                    made.hBitmap = ::CreateBitmap(1, 1, 1, 1, nullptr);
                }
                return S_OK;
            },
            &data);
        return;
    }
    const std::string block = RandomBlock(rng, places, what);
    const UINT flags = rng.Percent(70) ? GMEM_MOVEABLE : GMEM_FIXED;
    const bool nullHandle = rng.Percent(3);
    what = std::string(nullHandle               ? "null HGLOBAL"
                       : flags == GMEM_MOVEABLE ? "moveable HGLOBAL"
                                                : "fixed HGLOBAL") +
           ", " + what;
    // A moveable block of no bytes cannot be locked, nor can a null handle.
    expected = nullHandle || (block.empty() && flags == GMEM_MOVEABLE) ? DropOutcome::Unavailable : OutcomeOf(block);
    object = testing::NewDataObject(
        [block, flags, nullHandle](STGMEDIUM& made) {
            made.tymed = TYMED_HGLOBAL;
            made.hGlobal = nullHandle ? nullptr : testing::GlobalBlock(block, flags);
            return S_OK;
        },
        &data);
}

// ---- settings ---------------------------------------------------------------

namespace {
constexpr const wchar_t* kSettingsKey = L"Software\\Quenbridge\\Tessaly";
constexpr const wchar_t* kNames[] = {L"ShowRecentModified", L"ShowRecentAccessed", L"FileCount",
                                     L"HighlightDays",      L"ShowTimeHint",       L"WeekStart"};
}  // namespace

void RemoveSettings() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

std::string WriteRandomSetting(Rng& rng) {
    const wchar_t* name = rng.Percent(30) ? L"FileCount" : rng.Pick(kNames);
    const unsigned kind = rng.Below(12);
    if (kind == 0) {
        RemoveSettings();
        return "settings key removed";
    }
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return "settings key cannot be opened";
    std::string what = Narrow(name) + " ";
    std::string data;
    DWORD type = REG_DWORD;
    if (kind == 1) {
        ::RegDeleteValueW(key, name);
        what += "removed";
    } else if (kind == 2) {
        const wchar_t* texts[] = {L"", L"7", L"12", L"abc", L"0123456789"};
        const std::wstring text = rng.Pick(texts);
        type = REG_SZ;
        data.assign(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
        what += "REG_SZ \"" + Narrow(text) + "\"";
    } else if (kind == 3) {
        type = rng.Percent(50) ? REG_BINARY : REG_QWORD;
        for (unsigned i = type == REG_QWORD ? 8 : rng.Below(9); i > 0; --i) data += static_cast<char>(rng.Below(256));
        what += Format("%s of %u bytes", type == REG_BINARY ? "REG_BINARY" : "REG_QWORD",
                       static_cast<unsigned>(data.size()));
    } else {
        const DWORD values[] = {0, 1, 2, 3, 5, 10, 25, 30, 100, 1000, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x80000001};
        const DWORD value = rng.Percent(80) ? rng.Pick(values) : static_cast<DWORD>(rng.Next());
        data.assign(reinterpret_cast<const char*>(&value), sizeof value);
        what += Format("REG_DWORD %ld", static_cast<long>(value));
    }
    if (kind != 1)
        ::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                         static_cast<DWORD>(data.size()));
    ::RegCloseKey(key);
    return what;
}

SettingsSeen ReadSettingsAsStored() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) key = nullptr;
    // Up to four bytes of any type, little-endian; otherwise the default.
    const auto read = [key](const wchar_t* name, std::int32_t fallback) {
        std::uint8_t bytes[4] = {};
        DWORD size = sizeof bytes;
        if (key == nullptr || ::RegQueryValueExW(key, name, nullptr, nullptr, bytes, &size) != ERROR_SUCCESS)
            return fallback;
        return static_cast<std::int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t{bytes[3]} << 24);
    };
    const SettingsSeen seen{read(L"FileCount", 10), read(L"ShowRecentAccessed", 1), read(L"ShowRecentModified", 0)};
    if (key != nullptr) ::RegCloseKey(key);
    return seen;
}

}  // namespace tessaly::soak
