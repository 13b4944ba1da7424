// The user's date and time formats on the host, standing in for
// GetDateFormatW and GetTimeFormatW with LOCALE_USER_DEFAULT.
//
// The user's locale is the one the environment names for the process, as
// setlocale(LC_ALL, "") would take it (LC_ALL, else LC_TIME and LC_CTYPE,
// else LANG), looked up with newlocale() at the first call and kept for the
// life of the process, as Windows keeps the user's default locale of a
// process. When the environment names a locale that is not installed, the C
// locale stands in, as it does for a program whose setlocale(LC_ALL, "")
// fails. The process's global locale is neither read nor changed: the
// formatting runs under uselocale() on the calling thread only.
//
// Short date: the locale's date format, strftime's "%x" (D_FMT): 12/08/2026
// for en_US, 08.12.2026 for de_DE, 12/08/26 for C.
// Time without seconds: the locale's time format, strftime's "%X" (T_FMT,
// with %r, %T and %X spelled out), with the seconds conversion removed
// together with the separator in front of it, as TIME_NOSECONDS removes the
// seconds from a Windows time picture: "%I:%M:%S %p" becomes "%I:%M %p"
// (04:40 PM for en_US), "%H:%M:%S" becomes "%H:%M" (16:40 for de_DE and C).
#include <langinfo.h>
#include <locale.h>

#include <cwchar>
#include <cwctype>
#include <ctime>
#include <string>
#include <vector>

#include "platform/LocaleFormat.h"
#include "platform/SystemErrors.h"
#include "platform/posix/CalendarMath.h"

namespace tessaly::platform {

namespace {

// The environment's locale for the calling thread while the object lives.
class UserLocaleScope {
public:
    UserLocaleScope() {
        if (UserLocale() != static_cast<locale_t>(0)) m_previous = uselocale(UserLocale());
    }
    ~UserLocaleScope() {
        if (m_previous != static_cast<locale_t>(0)) uselocale(m_previous);
    }
    UserLocaleScope(const UserLocaleScope&) = delete;
    UserLocaleScope& operator=(const UserLocaleScope&) = delete;

private:
    // Made once (thread-safe static initialisation) and kept.
    static locale_t UserLocale() {
        static const locale_t user = [] {
            locale_t locale = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
            if (locale == static_cast<locale_t>(0)) locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
            return locale;
        }();
        return user;
    }

    locale_t m_previous = static_cast<locale_t>(0);
};

// A text of the current thread's locale (its own character set) as wide text.
std::wstring Widen(const char* text) {
    std::mbstate_t state{};
    const char* source = text;
    const size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
    if (length == static_cast<size_t>(-1)) return {};
    std::wstring wide(length, L'\0');
    source = text;
    state = std::mbstate_t{};
    std::mbsrtowcs(wide.data(), &source, length, &state);
    return wide;
}

// One piece of a strftime format: a conversion ("%H", "%-M", "%OS") or a
// run of literal characters.
struct Piece {
    std::wstring text;
    bool conversion = false;
    wchar_t kind = 0;  // the conversion character
};

void AppendPieces(const std::wstring& format, std::vector<Piece>& pieces, int depth);

void AppendConversion(const std::wstring& conversion, wchar_t kind, std::vector<Piece>& pieces, int depth) {
    // Compound conversions are spelled out so that their seconds can go.
    const char* expansion = nullptr;
    switch (kind) {
        case L'T': expansion = "%H:%M:%S"; break;
        case L'r': expansion = nl_langinfo(T_FMT_AMPM); break;
        case L'X': expansion = nl_langinfo(T_FMT); break;
        default: break;
    }
    if (expansion != nullptr && depth < 3) {
        std::wstring wide = Widen(expansion);
        if (kind == L'r' && wide.empty()) wide = L"%I:%M:%S %p";  // a locale without a 12-hour format
        AppendPieces(wide, pieces, depth + 1);
        return;
    }
    pieces.push_back(Piece{conversion, true, kind});
}

void AppendPieces(const std::wstring& format, std::vector<Piece>& pieces, int depth) {
    size_t i = 0;
    while (i < format.size()) {
        if (format[i] != L'%' || i + 1 >= format.size()) {
            if (pieces.empty() || pieces.back().conversion) pieces.push_back(Piece{});
            pieces.back().text.push_back(format[i++]);
            continue;
        }
        // "%" [flags] [width] [E or O] conversion
        size_t end = i + 1;
        while (end < format.size() && std::wcschr(L"_-0^#", format[end]) != nullptr) ++end;
        while (end < format.size() && format[end] >= L'0' && format[end] <= L'9') ++end;
        if (end < format.size() && (format[end] == L'E' || format[end] == L'O')) ++end;
        if (end >= format.size()) {  // a dangling "%": keep it as text
            if (pieces.empty() || pieces.back().conversion) pieces.push_back(Piece{});
            pieces.back().text.append(format, i, std::wstring::npos);
            break;
        }
        const wchar_t kind = format[end];
        if (kind == L'%') {
            if (pieces.empty() || pieces.back().conversion) pieces.push_back(Piece{});
            pieces.back().text.append(L"%%");
        } else {
            AppendConversion(format.substr(i, end + 1 - i), kind, pieces, depth);
        }
        i = end + 1;
    }
}

bool IsSeparator(const std::wstring& text) {
    for (wchar_t c : text)
        if (!std::iswpunct(c) && !std::iswspace(c)) return false;
    return !text.empty();
}

// The locale's time format without its seconds: a seconds conversion goes
// with the separator in front of it ("%H:%M:%S" becomes "%H:%M"), or, where
// words stand behind the numbers ("%H時%M分%S秒"), with its unit behind it
// ("%H時%M分"). Blanks left at the end go too.
std::wstring TimeFormatWithoutSeconds() {
    std::vector<Piece> pieces;
    AppendPieces(L"%X", pieces, 0);
    for (size_t i = 0; i < pieces.size();) {
        if (!(pieces[i].conversion && pieces[i].kind == L'S')) {
            ++i;
            continue;
        }
        const auto at = [&](size_t k) { return pieces.begin() + static_cast<std::ptrdiff_t>(k); };
        if (i > 0 && !pieces[i - 1].conversion && IsSeparator(pieces[i - 1].text)) {
            pieces.erase(at(i - 1), at(i + 1));
            --i;
        } else if (i + 1 < pieces.size() && !pieces[i + 1].conversion) {
            pieces.erase(at(i), at(i + 2));
        } else {
            pieces.erase(at(i));
        }
    }
    std::wstring format;
    for (const Piece& piece : pieces) format += piece.text;
    while (!format.empty() && std::iswspace(format.back())) format.pop_back();
    return format;
}

const std::wstring kDateFormat = L"%x";

std::tm TmOf(const SystemTime& f, bool withDate) {
    std::tm parts{};
    if (withDate) {
        const std::int64_t days = DaysFrom1601(f.Year, f.Month, f.Day);
        parts.tm_year = f.Year - 1900;
        parts.tm_mon = f.Month - 1;
        parts.tm_mday = f.Day;
        parts.tm_wday = static_cast<int>((days + 1) % 7);  // 1 January 1601 was a Monday
        parts.tm_yday = static_cast<int>(days - DaysFrom1601(f.Year, 1, 1));
    } else {
        parts.tm_year = 70;  // a valid date for conversions that look at it
        parts.tm_mday = 1;
        parts.tm_wday = 4;
    }
    parts.tm_hour = f.Hour;
    parts.tm_min = f.Minute;
    parts.tm_sec = f.Second;
    return parts;
}

// Formats under the user's locale and hands the text over with the Win32
// conventions of the header.
int Format(const std::tm& parts, bool date, wchar_t* buffer, int room) {
    if (room < 0 || (room > 0 && buffer == nullptr)) {
        SetLastError(win32::kInvalidParameter);
        return 0;
    }
    wchar_t text[256];
    size_t length = 0;
    {
        UserLocaleScope locale;
        // Worked out once, under the user's locale, like the locale itself.
        static const std::wstring timeFormat = TimeFormatWithoutSeconds();
        const std::wstring& format = date ? kDateFormat : timeFormat;
        length = format.empty() ? 0 : std::wcsftime(text, sizeof text / sizeof text[0], format.c_str(), &parts);
        if (length == 0 && !format.empty()) {  // longer than any platform format gives
            SetLastError(win32::kInsufficientBuffer);
            return 0;
        }
    }
    const int needed = static_cast<int>(length) + 1;
    if (room == 0) return needed;
    if (needed > room) {
        SetLastError(win32::kInsufficientBuffer);
        return 0;
    }
    std::wmemcpy(buffer, text, length);
    buffer[length] = L'\0';
    return needed;
}

}  // namespace

int FormatShortDate(const SystemTime& fields, wchar_t* buffer, int room) {
    SystemTime date;
    date.Year = fields.Year;
    date.Month = fields.Month;
    date.Day = fields.Day;
    if (!IsValidCalendarFields(date)) {
        SetLastError(win32::kInvalidParameter);
        return 0;
    }
    return Format(TmOf(fields, true), true, buffer, room);
}

int FormatTimeWithoutSeconds(const SystemTime& fields, wchar_t* buffer, int room) {
    if (fields.Hour > 23 || fields.Minute > 59 || fields.Second > 59 || fields.Milliseconds > 999) {
        SetLastError(win32::kInvalidParameter);
        return 0;
    }
    return Format(TmOf(fields, false), false, buffer, room);
}

}  // namespace tessaly::platform
