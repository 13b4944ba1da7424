#include "listing/DateText.h"

#include <algorithm>
#include <cwchar>

#include "listing/FileEntry.h"
#include "platform/LocaleFormat.h"
#include "platform/SystemErrors.h"

namespace tessaly {

namespace {

// A buffer of kDateTextRoom characters that is always terminated; appends
// keep what fits and drop the rest.
class DateTextBuffer {
public:
    wchar_t* End() { return m_text + m_length; }
    int RoomLeft() const { return kDateTextRoom - static_cast<int>(m_length); }

    // Takes the count (terminator included, 0 on failure) that a formatter
    // returned for the text it wrote at End() with RoomLeft() as its room.
    void Commit(int written) {
        if (written > 0 && written <= RoomLeft()) m_length += static_cast<size_t>(written - 1);
        m_text[m_length] = L'\0';  // also ends a partial write of a failed call
    }

    void Append(const wchar_t* text) {
        const size_t fits = std::min(std::wcslen(text), kMaxLength - m_length);
        std::wmemcpy(m_text + m_length, text, fits);
        m_length += fits;
        m_text[m_length] = L'\0';
    }

    std::wstring Text() const { return std::wstring(m_text, m_length); }

private:
    static constexpr size_t kMaxLength = kDateTextRoom - 1;
    wchar_t m_text[kDateTextRoom] = {};
    size_t m_length = 0;
};

// Formats into the room left; a text longer than that room is formatted
// again without the limit and cut to what fits.
void AppendFormatted(DateTextBuffer& text, FieldsFormatter format, const SystemTime& fields) {
    const int room = text.RoomLeft();
    const int written = format(fields, text.End(), room);
    text.Commit(written);
    if (written == 0 && room > 0 && platform::LastError() == win32::kInsufficientBuffer) {
        wchar_t whole[kDateTextRoom * 2] = {};
        if (format(fields, whole, static_cast<int>(sizeof whole / sizeof whole[0])) > 0) text.Append(whole);
    }
}

}  // namespace

std::wstring ComposeDateText(const SystemTime& localTime, TimeHint hint, FieldsFormatter formatDate,
                             FieldsFormatter formatTime) {
    DateTextBuffer text;
    AppendFormatted(text, formatDate, localTime);
    text.Append(L" ");
    AppendFormatted(text, formatTime, localTime);
    const wchar_t* hintText = HintText(hint);
    if (*hintText != L'\0') {
        text.Append(L" (");
        text.Append(hintText);
        text.Append(L")");
    }
    return text.Text();
}

std::wstring FileEntry::DateText() const {
    return ComposeDateText(LocalTime, Hint, platform::FormatShortDate, platform::FormatTimeWithoutSeconds);
}

}  // namespace tessaly
