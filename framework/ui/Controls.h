#pragma once
// Wrappers of the two common controls the pages drive by messages.
#include <windows.h>
#include <richedit.h>

#include "framework/ui/Wnd.h"

namespace tessaly::ui {

// A trackbar ("msctls_trackbar32").
class CSliderCtrl : public CWnd {
public:
    void SetRangeMin(int minimum, bool redraw = false) const;
    void SetRangeMax(int maximum, bool redraw = false) const;
    void SetPos(int position) const;  // redraws
    int GetPos() const;
    void SetTicFreq(int frequency) const;
};

// A rich edit control ("RICHEDIT" of the rich edit library).
class CRichEditCtrl : public CWnd {
public:
    // From start up to end; end -1 means to the end of the text.
    void SetSel(long start, long end) const;
    void SetSelectionCharFormat(CHARFORMATW& format) const;
    void SetBackgroundColor(COLORREF color) const;
    RECT GetRect() const;  // the formatting rectangle, client coordinates
    POINT PosFromChar(long index) const;
    long GetTextLength() const;
};

}  // namespace tessaly::ui
