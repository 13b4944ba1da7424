#pragma once
// The Settings page: which lists the menu shows, how many files, the
// highlight span, time hints and the first day of the week. It reads the six
// settings when it opens and writes all six on OK and on Apply; the rules
// between clicks and values are options/SettingsRules.
#include "framework/ui/Controls.h"
#include "framework/ui/PropertyPage.h"
#include "options/ListIcons.h"
#include "options/SettingsRules.h"

namespace tessaly {

class OptionsPage_Settings : public ui::CPropertyPage {
public:
    OptionsPage_Settings();
    ~OptionsPage_Settings() override;

protected:
    ui::MessageMap GetMessageMap() const override;
    void DoDataExchange(ui::CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    bool OnHScroll(WPARAM wParam, LPARAM lParam);
    void OnBnClickedTimeHint();
    void OnBnClickedWeekStart();
    void OnBnClickedModified();
    void OnBnClickedAccessed();
    void ApplyWeekStartEnabling();
    // The values in the controls, the sliders' scales and the enabling.
    void ShowSettings();

    // Bound to the check boxes, the edit boxes and the radio group.
    options::Settings m_settings;
    // Whether m_settings started from what is stored (else from the defaults).
    bool m_loaded = false;
    // What the user changed on the page, for a page that showed the defaults.
    options::TouchedSettings m_touched;
    ui::CSliderCtrl m_sliderFileCount;
    ui::CSliderCtrl m_sliderHighlightDays;
    // The list icons at the dialog's scale.
    options::ListIcons m_listIcons;
};

}  // namespace tessaly
