#include "listing/Highlight.h"

namespace tessaly {

const wchar_t* HighlightMark(std::int32_t daysAgo, std::int32_t highlightDays) {
    return daysAgo < highlightDays ? L"* " : L"";
}

}  // namespace tessaly
