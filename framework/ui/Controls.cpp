#include "framework/ui/Controls.h"

#include <commctrl.h>

namespace tessaly::ui {

void CSliderCtrl::SetRangeMin(int minimum, bool redraw) const { Send(TBM_SETRANGEMIN, redraw, minimum); }

void CSliderCtrl::SetRangeMax(int maximum, bool redraw) const { Send(TBM_SETRANGEMAX, redraw, maximum); }

void CSliderCtrl::SetPos(int position) const { Send(TBM_SETPOS, TRUE, position); }

int CSliderCtrl::GetPos() const { return static_cast<int>(Send(TBM_GETPOS)); }

void CSliderCtrl::SetTicFreq(int frequency) const { Send(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }

void CRichEditCtrl::SetSel(long start, long end) const {
    CHARRANGE range{start, end};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CRichEditCtrl::SetSelectionCharFormat(CHARFORMATW& format) const {
    format.cbSize = sizeof(format);
    Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void CRichEditCtrl::SetBackgroundColor(COLORREF color) const {
    Send(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color));
}

RECT CRichEditCtrl::GetRect() const {
    RECT rect{};
    Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

POINT CRichEditCtrl::PosFromChar(long index) const {
    // The rich edit form of the message: the position comes back through the pointer.
    POINTL position{};
    Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&position), index);
    return POINT{position.x, position.y};
}

long CRichEditCtrl::GetTextLength() const { return static_cast<long>(Send(WM_GETTEXTLENGTH)); }

}  // namespace tessaly::ui
