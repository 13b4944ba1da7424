#include "options/OptionsPage_Settings.h"

#include "resources/ResourceIds.h"

namespace tessaly {

OptionsPage_Settings::OptionsPage_Settings() : CPropertyPage(IDD_SETTINGS) {}

OptionsPage_Settings::~OptionsPage_Settings() = default;

ui::MessageMap OptionsPage_Settings::GetMessageMap() const {
    using Page = OptionsPage_Settings;
    static const ui::MessageMapEntry entries[] = {
        ui::OnMessage<Page>(WM_HSCROLL, &Page::OnHScroll),
        ui::OnCommand<Page>(BN_CLICKED, IDC_SHOW_TIME_HINT, &Page::OnBnClickedTimeHint),
        ui::OnCommand<Page>(BN_CLICKED, IDC_WEEK_SUNDAY, &Page::OnBnClickedWeekStart),
        ui::OnCommand<Page>(BN_CLICKED, IDC_WEEK_MONDAY, &Page::OnBnClickedWeekStart),
        ui::OnCommand<Page>(BN_CLICKED, IDC_SHOW_MODIFIED, &Page::OnBnClickedModified),
        ui::OnCommand<Page>(BN_CLICKED, IDC_SHOW_ACCESSED, &Page::OnBnClickedAccessed),
    };
    return ui::MakeMessageMap(entries);
}

void OptionsPage_Settings::DoDataExchange(ui::CDataExchange* pDX) {
    ui::DDX_Check(pDX, IDC_SHOW_MODIFIED, m_settings.ShowRecentModified);
    ui::DDX_Check(pDX, IDC_SHOW_ACCESSED, m_settings.ShowRecentAccessed);
    ui::DDX_Control(pDX, IDC_FILE_COUNT_SLIDER, m_sliderFileCount);
    ui::DDX_Control(pDX, IDC_HIGHLIGHT_DAYS_SLIDER, m_sliderHighlightDays);
    ui::DDX_Text(pDX, IDC_FILE_COUNT, m_settings.FileCount);
    ui::DDX_Text(pDX, IDC_HIGHLIGHT_DAYS, m_settings.HighlightDays);
    ui::DDX_Check(pDX, IDC_SHOW_TIME_HINT, m_settings.ShowTimeHint);
    ui::DDX_Radio(pDX, IDC_WEEK_SUNDAY, m_settings.WeekStart);
}

BOOL OptionsPage_Settings::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_listIcons.Show(m_hWnd);
    try {
        m_settings = options::LoadSettings();
        m_loaded = true;
    } catch (...) {
        // The page works on the defaults then, as the store gives them for a
        // value it cannot supply; the page's firewall reports the failure.
        m_settings = options::DefaultSettings();
        ShowSettings();
        throw;
    }
    ShowSettings();
    return TRUE;
}

void OptionsPage_Settings::ShowSettings() {
    UpdateData(FALSE);
    namespace slider = options::slider;
    m_sliderFileCount.SetRangeMin(slider::kFileCountMin);
    m_sliderFileCount.SetRangeMax(slider::kFileCountMax);
    m_sliderFileCount.SetPos(options::FileCountPosition(m_settings.FileCount));

    m_sliderHighlightDays.SetRangeMin(slider::kHighlightDaysMin);
    m_sliderHighlightDays.SetRangeMax(slider::kHighlightDaysMax);
    m_sliderHighlightDays.SetPos(options::HighlightDaysPosition(m_settings.HighlightDays));
    m_sliderHighlightDays.SetTicFreq(slider::kHighlightDaysTicks);

    ApplyWeekStartEnabling();
}

// Every notification counts, also while the thumb is dragged, so the number
// beside a slider follows it.
bool OptionsPage_Settings::OnHScroll(WPARAM, LPARAM lParam) {
    const HWND source = reinterpret_cast<HWND>(lParam);
    if (source == m_sliderFileCount.m_hWnd) {
        m_settings.FileCount = options::FileCountFromPosition(m_sliderFileCount.GetPos());
        m_touched.Touch(&options::Settings::FileCount);
    } else if (source == m_sliderHighlightDays.m_hWnd) {
        m_settings.HighlightDays = options::HighlightDaysFromPosition(m_sliderHighlightDays.GetPos());
        m_touched.Touch(&options::Settings::HighlightDays);
    } else {
        return true;
    }
    UpdateData(FALSE);
    SetModified();
    return true;
}

void OptionsPage_Settings::OnBnClickedAccessed() {
    UpdateData(TRUE);
    m_touched.Touch(&options::Settings::ShowRecentAccessed);
    if (options::AccessedClicked(m_settings)) {
        m_touched.Touch(&options::Settings::ShowRecentModified);
        UpdateData(FALSE);
    }
    SetModified();
}

void OptionsPage_Settings::OnBnClickedModified() {
    UpdateData(TRUE);
    m_touched.Touch(&options::Settings::ShowRecentModified);
    if (options::ModifiedClicked(m_settings)) {
        m_touched.Touch(&options::Settings::ShowRecentAccessed);
        UpdateData(FALSE);
    }
    SetModified();
}

void OptionsPage_Settings::OnBnClickedTimeHint() {
    ApplyWeekStartEnabling();
    m_touched.Touch(&options::Settings::ShowTimeHint);
    SetModified();
}

void OptionsPage_Settings::OnBnClickedWeekStart() {
    UpdateData(TRUE);
    m_touched.Touch(&options::Settings::WeekStart);
    SetModified();
}

void OptionsPage_Settings::ApplyWeekStartEnabling() {
    UpdateData(TRUE);
    const bool enabled = options::WeekStartEnabled(m_settings);
    for (int id : {IDC_WEEK_GROUP, IDC_WEEK_SUNDAY, IDC_WEEK_MONDAY}) ::EnableWindow(GetDlgItem(id), enabled);
}

void OptionsPage_Settings::OnOK() {
    UpdateData(TRUE);
    // A page that could not read the settings showed the defaults, not what
    // is stored: it writes what the user touched there, and nothing else.
    if (m_loaded)
        options::SaveSettings(m_settings);
    else
        options::SaveTouchedSettings(m_touched, m_settings);
}

}  // namespace tessaly
