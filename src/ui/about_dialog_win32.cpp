// The About box: the product's name and version, the credits, and two links.

#include <array>

#include "lang/language_files_win32.h"
#include "lang/text_format.h"
#include "res/resource.h"
#include "ui/application_win32.h"
#include "ui/dialog_position_win32.h"
#include "ui/web_addresses.h"

namespace mendlet {

namespace {

constexpr COLORREF LINK_COLOUR = RGB(0, 0, 255);

// The control of each about text from the second on; the caption takes text 0, and the
// translation's label (text 5) shows only with a translator's name.
constexpr std::array<int, 4> TEXT_CONTROLS = {IDCANCEL, IDC_AUTHOR_LABEL, IDC_AUTHOR, IDC_CONTACT_LABEL};
constexpr std::size_t TRANSLATION_LABEL_TEXT = 5;

// The links show the hand over them; the rest of their work is the static control's, whose
// procedure each keeps in its user data.
LRESULT CALLBACK link_procedure(HWND link, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETCURSOR) {
        static const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
        SetCursor(hand);
        return TRUE;
    }
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(link, GWLP_USERDATA));
    return CallWindowProcW(previous, link, message, wparam, lparam);
}

void make_link(HWND link) {
    SetWindowLongPtrW(link, GWLP_USERDATA, GetWindowLongPtrW(link, GWLP_WNDPROC));
    SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link_procedure));
}

class AboutDialog {
public:
    AboutDialog(const Application& app, HFONT name_font) : app_(app), name_font_(name_font) {}

    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        auto* self = reinterpret_cast<AboutDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (self == nullptr) return FALSE;
        switch (message) {
            case WM_INITDIALOG:
                self->dialog_ = dialog;
                self->initialise();
                return TRUE;
            case WM_CTLCOLORSTATIC:
                return self->link_colours(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
            case WM_COMMAND:
                return self->command(LOWORD(wparam), HIWORD(wparam));
            default:
                return FALSE;
        }
    }

private:
    void initialise() {
        centre_over(dialog_, app_.window());
        SendDlgItemMessageW(dialog_, IDC_PRODUCT_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(name_font_), FALSE);
        const TextSection& texts = app_.texts().about;
        SetWindowTextW(dialog_, format_text(texts[0], {APP_CAPTION}).c_str());
        for (std::size_t i = 0; i < TEXT_CONTROLS.size(); ++i) SetDlgItemTextW(dialog_, TEXT_CONTROLS[i], texts[i + 1]);
        const LanguageEntry* language = app_.languages().current();
        const auto translator = language != nullptr ? translator_name(app_.program_path(), *language) : std::nullopt;
        SetDlgItemTextW(dialog_, IDC_TRANSLATION_LABEL, translator ? texts[TRANSLATION_LABEL_TEXT] : L"");
        SetDlgItemTextW(dialog_, IDC_TRANSLATOR, translator ? translator->c_str() : L"");
        make_link(GetDlgItem(dialog_, IDC_WEB_LINK));
        make_link(GetDlgItem(dialog_, IDC_CONTACT_LINK));
    }

    INT_PTR link_colours(HDC context, HWND control) const {
        if (control != GetDlgItem(dialog_, IDC_WEB_LINK) && control != GetDlgItem(dialog_, IDC_CONTACT_LINK))
            return FALSE;
        SetTextColor(context, LINK_COLOUR);
        SetBkMode(context, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }

    // A link opens on its click alone: a double click also sends a click first.
    bool command(int id, int notification) const {
        switch (id) {
            case IDCANCEL:
                EndDialog(dialog_, IDCANCEL);
                return true;
            case IDC_WEB_LINK:
                if (notification == STN_CLICKED) app_.open_own_address(dialog_, WEB_PAGE_ADDRESS.unscrambled());
                return true;
            case IDC_CONTACT_LINK:
                if (notification == STN_CLICKED) app_.open_own_address(dialog_, CONTACT_ADDRESS.unscrambled());
                return true;
            default:
                return false;
        }
    }

    const Application& app_;
    HFONT name_font_;
    HWND dialog_ = nullptr;
};

}  // namespace

void Application::open_about() {
    AboutDialog dialog(*this, status_font_);
    DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT), window_, AboutDialog::procedure,
                    reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace mendlet
