#pragma once
// The About page: the version line, the credits, and a link to the product's
// web site. The link is a disabled rich edit control showing the host name
// in blue underlined text; being disabled it takes no focus and no mouse
// input, so the page itself hit-tests the pointer against the text, shows
// the hand cursor over it and opens the address on a click.
#include <cstdint>

#include "framework/ui/Controls.h"
#include "framework/ui/PropertyPage.h"

namespace tessaly {

class OptionsPage_About : public ui::CPropertyPage {
public:
    OptionsPage_About();
    ~OptionsPage_About() override;

protected:
    ui::MessageMap GetMessageMap() const override;
    void DoDataExchange(ui::CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    bool OnSetCursor(WPARAM wParam, LPARAM lParam);
    bool OnLButtonDown(WPARAM wParam, LPARAM lParam);
    bool PointerOverLinkText() const;

    ui::CRichEditCtrl m_richLink;
    // 1 when the last cursor update found the pointer over the link text.
    std::int32_t m_overLink = 0;
};

}  // namespace tessaly
