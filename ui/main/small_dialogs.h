// The password dialog, the add-address dialog, the version box and the product version they use.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "settings/language.h"
#include "settings/password_scrambling.h"
#include "ui/main/message_box.h"

namespace calbrin {

struct PasswordDialogData {
  // Receives the password scrambled with the login shift on OK; untouched on cancel.
  ScrambledPassword* login = nullptr;
  MessageBoxFunction showMessage = SystemMessageBox;
  Language language = Language::kJapanese;
};

// Modal over `owner`. Always opens with an empty field; refuses OK while the field is empty.
void ShowPasswordDialog(HWND owner, PasswordDialogData& data);

struct AddAddressDialogData {
  bool added = false;
  std::string address;  // dotted text, blank fields read as 0
  Language language = Language::kJapanese;
};

// Modal over `owner`. An address left blank ("0.0.0.0") and cancel both leave `added` false.
void ShowAddAddressDialog(HWND owner, AddAddressDialogData& data);

// Reads the product version of the executable at `path`; the words stay 0 when it has none.
bool ReadProductVersion(const std::wstring& path, std::array<std::uint16_t, 4>& words);

// The version box in `language`, modal over `owner`: title, OK, no icon.
void ShowVersionBox(HWND owner, Language language, int major, int minor,
                    const MessageBoxFunction& showMessage);

}  // namespace calbrin
