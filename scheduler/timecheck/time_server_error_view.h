#pragma once
// The time-server error dialog Form6: caption "NTP エラー", the message in Label1 and the button
// "プログラムの終了". Shown without holding the caller up.
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace sayolt {

inline constexpr const char* kTimeServerErrorCaption = "NTP エラー";
inline constexpr const char* kTimeServerExitButton = "プログラムの終了";
// Outer heights in twips: the shorter one leaves the button below the visible area.
inline constexpr int kTimeServerErrorHeightEnding = 1800;
inline constexpr int kTimeServerErrorHeightCarryOn = 2595;

class TimeServerErrorView {
 public:
  virtual ~TimeServerErrorView() = default;
  // labelText uses "\n" between lines. onExitClicked runs, from the event loop, when the user
  // presses "プログラムの終了"; it must not end the program itself.
  virtual void show(const std::string& labelText, int outerHeightTwips, std::function<void()> onExitClicked) = 0;
  virtual void close() = 0;
};

// Keeps what was shown, for tests and the simulator; clickExit() plays the user's click.
class RecordingTimeServerErrorView : public TimeServerErrorView {
 public:
  struct Shown {
    std::string labelText;
    int outerHeightTwips = 0;
  };

  void show(const std::string& labelText, int outerHeightTwips, std::function<void()> onExitClicked) override {
    shown.push_back({labelText, outerHeightTwips});
    onExit_ = std::move(onExitClicked);
    visible = true;
  }
  void close() override {
    visible = false;
    onExit_ = nullptr;
  }
  // False when no dialog is up to be clicked.
  bool clickExit() {
    if (!visible || !onExit_) return false;
    const auto handler = onExit_;
    handler();
    return true;
  }

  std::vector<Shown> shown;
  bool visible = false;

 private:
  std::function<void()> onExit_;
};

}  // namespace sayolt
