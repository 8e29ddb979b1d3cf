// SettingsPage: creation and the message trampoline shared by the settings pages.
#include "ui/editor/settings_page.h"

#include <uxtheme.h>

#include <string_view>

#include "ui/controls/dialog_controls.h"
#include "ui/controls/edit_filters.h"
#include "ui/controls/language_resources.h"

namespace calbrin {

HWND SettingsPage::Create(HWND dialog, int resourceId, const SettingsRecord& record,
                          Language language) {
  language_ = language;
  CreateParams params{this, &record};
  return CreateDialogIn(language, resourceId, dialog, &SettingsPage::DialogProc,
                        reinterpret_cast<LPARAM>(&params));
}

void SettingsPage::FillList(int id, const ChoiceItems& items) const {
  const PageField& field = PageFieldOf(kind_, id);
  ChoiceItems shown;
  for (const char* text : items) {
    shown.push_back(text);
    for (const ChoiceItem& item : field.items) {
      if (std::string_view(item.text.japanese) == text) {
        shown.back() = item.text.In(language_).data();
        break;
      }
    }
  }
  FillChoiceList(window_, id, shown);
}

INT_PTR CALLBACK SettingsPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* params = reinterpret_cast<const CreateParams*>(lParam);
    SettingsPage* page = params->page;
    page->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page));
    // With visual styles the tab strip's body is not the dialog colour; the page takes its
    // texture so that it does not stand out as a grey block.
    EnableThemeDialogTexture(window, ETDT_ENABLETAB);
    LimitPageEdits(window, page->kind_);
    page->OnInit(*params->record);
    return FALSE;  // the settings dialog decides where the focus goes
  }
  auto* page = reinterpret_cast<SettingsPage*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (page == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (ApplyEditRule(page->kind_, LOWORD(wParam), HIWORD(wParam),
                        reinterpret_cast<HWND>(lParam)))
        return TRUE;
      return page->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      page->window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace calbrin
