// SettingsPage: the common part of the settings dialog's pages, each a borderless child dialog.
#pragma once

#include <windows.h>

#include "pages/page_fields.h"

namespace calbrin {

struct SettingsRecord;

// A page lives as long as its owner keeps the object; the window dies with the settings dialog,
// which is its parent. All calls come from the user-interface thread.
class SettingsPage {
 public:
  explicit SettingsPage(PageKind kind) : kind_(kind) {}
  SettingsPage(const SettingsPage&) = delete;
  SettingsPage& operator=(const SettingsPage&) = delete;
  virtual ~SettingsPage() = default;

  // Creates the page as a hidden, modeless child of `dialog` from the layout `resourceId` in
  // `language`, whose texts its lists take too; the page loads its controls from `record` while
  // it is created. Returns the page window, or null.
  HWND Create(HWND dialog, int resourceId, const SettingsRecord& record, Language language);

  // Reloads every control from `record`.
  virtual void Fill(const SettingsRecord& record) = 0;

  HWND Window() const { return window_; }

 protected:
  // Fills list `id` with `items`, which the page rules give in Japanese, in the page's language:
  // each item as its row of the field table has it.
  void FillList(int id, const ChoiceItems& items) const;

  virtual void OnInit(const SettingsRecord& record) { Fill(record); }
  // True when the command was handled. The edit rules of the field table have run before and
  // never reach it.
  virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  struct CreateParams {
    SettingsPage* page;
    const SettingsRecord* record;
  };

  const PageKind kind_;
  Language language_ = Language::kJapanese;
  HWND window_ = nullptr;
};

}  // namespace calbrin
