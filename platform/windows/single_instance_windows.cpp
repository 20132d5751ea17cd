#include "platform/windows/single_instance_windows.h"

#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include "platform/windows/win_text.h"

namespace sayolt {

namespace {

// A holder blocked on a document does not answer; the editor must not hang on it.
constexpr UINT kCloseTimeoutMs = 5000;

std::wstring windowTitle(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
  title.resize(static_cast<std::size_t>(GetWindowTextW(window, title.data(), length + 1)));
  return title;
}

HWND findHolderWindow(const std::string& name) {
  const std::wstring title = widen(name);
  if (title.empty()) return nullptr;
  return FindWindowW(nullptr, title.c_str());
}

}  // namespace

// Takes WM_CLOSE sent to the holder's hidden window before Qt turns it into a close event.
// Visible windows are left alone, so that a window of the same title still closes as usual.
class WindowsSingleInstance::CloseFilter : public QAbstractNativeEventFilter {
 public:
  explicit CloseFilter(std::function<void()> release) : release_(std::move(release)) {}
  ~CloseFilter() override {
    if (installed_ && QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }
  CloseFilter(const CloseFilter&) = delete;
  CloseFilter& operator=(const CloseFilter&) = delete;

  void watch(const std::string& name) {
    title_ = widen(name);
    if (!installed_ && QCoreApplication::instance()) {
      QCoreApplication::instance()->installNativeEventFilter(this);
      installed_ = true;
    }
  }
  void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override {
    if (eventType != "windows_generic_MSG" || !handler_ || title_.empty()) return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_CLOSE || GetAncestor(msg->hwnd, GA_ROOT) != msg->hwnd) return false;
    if (IsWindowVisible(msg->hwnd) || windowTitle(msg->hwnd) != title_) return false;
    const auto handler = handler_;
    handler_ = nullptr;
    handler();
    // The holder is on its way out: the copy that replaces it must find the name free.
    release_();
    if (result) *result = 0;
    return true;
  }

 private:
  std::function<void()> release_;
  std::wstring title_;
  std::function<void()> handler_;
  bool installed_ = false;
};

WindowsSingleInstance::WindowsSingleInstance(std::string pipePrefix, std::string lockFolder)
    : pipe_(std::make_unique<QtSingleInstance>(std::move(pipePrefix), std::move(lockFolder))),
      filter_(std::make_unique<CloseFilter>([this] { pipe_.reset(); })) {}

WindowsSingleInstance::~WindowsSingleInstance() = default;

bool WindowsSingleInstance::claim(const std::string& name) {
  if (!pipe_ || !pipe_->claim(name)) return false;
  filter_->watch(name);
  return true;
}

void WindowsSingleInstance::setOnCloseRequest(std::function<void()> handler) {
  filter_->setHandler(handler);
  if (pipe_) pipe_->setOnCloseRequest(std::move(handler));
}

bool WindowsSingleInstance::requestClose(const std::string& name) {
  const HWND window = findHolderWindow(name);
  if (!window) return pipe_ && pipe_->requestClose(name);
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseTimeoutMs, &answer) != 0;
}

bool WindowsSingleInstance::isHeld(const std::string& name) {
  return findHolderWindow(name) != nullptr || (pipe_ && pipe_->isHeld(name));
}

void WindowsSingleInstance::setOnShowRequest(std::function<void()> handler) {
  if (pipe_) pipe_->setOnShowRequest(std::move(handler));
}

bool WindowsSingleInstance::requestShow(const std::string& name) { return pipe_ && pipe_->requestShow(name); }

}  // namespace sayolt
