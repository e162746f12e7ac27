#include "common/shell_actions.h"

#include <cstdio>

#include "common/record_file.h"

namespace vm {

std::string OpenFailureText(int code) {
  switch (code) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30: return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "Unknown Error (%d) occurred.", code);
      return buf;
    }
  }
}

std::string OpenFailureMessage(int code) { return "Unable to open hyperlink:\n\n" + OpenFailureText(code); }

bool IsLink(std::string_view text) {
  if (text.empty()) return false;
  char first = text[0];
  if (first == '\t' || first == '\n' || first == '\r' || first == ' ') return false;
  std::string lower;
  for (size_t i = 0; i < text.size() && i < 8; ++i) {
    char c = text[i];
    lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  // "https://" was unknown when the rule was made; an address of today starts with it.
  for (const char* prefix : {"http://", "https://", "mailto:", "file:", "www."})
    if (lower.starts_with(prefix)) return true;
  return false;
}

int CardActionField(CardBook book, CardAction action) {
  if (book == CardBook::kContacts) {
    switch (action) {
      case CardAction::kPhone: return 4;
      case CardAction::kMobile: return 5;
      case CardAction::kFax: return 6;
      case CardAction::kMail: return 8;
      case CardAction::kWeb: return 9;
    }
  } else {
    switch (action) {
      case CardAction::kPhone: return 3;
      case CardAction::kMobile: return -1;
      case CardAction::kFax: return 4;
      case CardAction::kMail: return 5;
      case CardAction::kWeb: return 6;
    }
  }
  return -1;
}

namespace {

ShellRequest Plan(CardAction action, const std::string& value, std::optional<std::string> party1,
                  std::optional<std::string> party2) {
  ShellRequest r;
  if (value.empty()) return r;
  if (action == CardAction::kMail) {
    r.kind = ShellRequest::kOpen;
    r.target = "mailto:" + value;
  } else if (action == CardAction::kWeb) {
    r.kind = ShellRequest::kOpen;
    r.target = value;
  } else {
    r.kind = ShellRequest::kDial;
    r.number = value;
    r.party1 = std::move(party1);
    r.party2 = std::move(party2);
  }
  return r;
}

}  // namespace

ShellRequest PlanCardAction(CardBook book, CardAction action, const std::string* record) {
  int field = CardActionField(book, action);
  if (!record || field < 0) return {};
  return Plan(action, GetField(*record, field), GetField(*record, 0), GetField(*record, 1));
}

ShellRequest PlanDataAction(CardAction action, const std::string* record, int field) {
  if (!record || field < 0) return {};
  return Plan(action, GetField(*record, field), std::nullopt, std::nullopt);
}

std::int32_t Dialer::Dial(TelephonyLink& link, const std::string& number, const std::optional<std::string>& party1,
                          const std::optional<std::string>& party2) {
  if (number.empty()) return 0;
  switch (state_) {
    case State::kNoLibrary: return kTelephonyMissing;
    case State::kNoFunction: return kTelephonyGaveUp;
    case State::kUntried:
      if (!link.LoadService()) {
        state_ = State::kNoLibrary;
        return kTelephonyMissing;
      }
      if (!link.FindCall()) {
        state_ = State::kNoFunction;
        return kTelephonyMissing;
      }
      state_ = State::kReady;
      break;
    case State::kReady: break;
  }
  return link.Call(number, party1, party2);
}

}  // namespace vm
