#pragma once
#include <string>
#include <vector>

namespace sayolt {

enum class MessageAnswer { Ok, Yes, No };

// What every scripted stand-in answers once it has no answer left: the one that changes nothing
// (no page erased, no edits given up).
inline constexpr MessageAnswer kUnscriptedAnswer = MessageAnswer::No;

// Message boxes and the open-file dialog. Texts are UTF-8.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal box with an OK button only; returns when the user has pressed it.
  virtual void messageOk(const std::string& title, const std::string& text) = 0;
  // A modal box with Yes and No.
  virtual MessageAnswer askYesNo(const std::string& title, const std::string& text) = 0;
  // A box that does not hold the caller up: the program goes on while it is shown.
  virtual void notice(const std::string& title, const std::string& text) = 0;
  // The open-file dialog; "" when cancelled. Filter as "説明|*.exe|説明|*.*".
  virtual std::string openFileName(const std::string& title, const std::string& startFolder,
                                   const std::string& filter) = 0;
};

}  // namespace sayolt
