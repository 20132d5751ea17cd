#include "platform/qt/event_loop_qt.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <algorithm>

namespace sayolt {

namespace {

class QtTimer : public Timer {
 public:
  explicit QtTimer(std::function<void()> onTimeout) : onTimeout_(std::move(onTimeout)) {
    // Precise: the one-second tick must not drift or skip a second.
    timer_.setTimerType(Qt::PreciseTimer);
    // Queued, so that the handler runs outside QTimer's own delivery: Qt never delivers a timer
    // again while that delivery is in progress, and a tick waiting in runUntil must still see
    // the next ticks. A tick queued before the timer was stopped is dropped.
    QObject::connect(
        &timer_, &QTimer::timeout, &receiver_,
        [this] {
          if (timer_.isActive() && onTimeout_) onTimeout_();
        },
        Qt::QueuedConnection);
  }

  void setIntervalMs(int intervalMs) override {
    if (intervalMs <= 0) {
      timer_.stop();
      interval_ = 0;
      return;
    }
    interval_ = intervalMs;
    timer_.start(intervalMs);
  }

  int intervalMs() const override { return interval_; }

 private:
  std::function<void()> onTimeout_;
  QObject receiver_;
  QTimer timer_;
  int interval_ = 0;
};

}  // namespace

struct QtEventLoop::Impl {
  explicit Impl(const Clock& c) : clock(c) {}
  const Clock& clock;
  bool exitRequested = false;
  int exitCode = 0;
  // Target of the wake-up events posted by requestExit; a plain QObject ignores them.
  QObject waker;
};

QtEventLoop::QtEventLoop(const Clock& clock) : impl_(std::make_unique<Impl>(clock)) {}

QtEventLoop::~QtEventLoop() = default;

void QtEventLoop::runUntil(const std::function<bool()>& done, std::optional<MonotonicMs> wakeAt) {
  // Its only job is to end the sleep in processEvents when the deadline comes.
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  for (;;) {
    if (impl_->exitRequested || (done && done())) return;
    if (wakeAt) {
      const MonotonicMs now = impl_->clock.monotonicMs();
      if (now >= *wakeAt) return;
      const MonotonicMs left = *wakeAt - now;
      deadline.start(static_cast<int>(std::min<MonotonicMs>(left, 24LL * 3600 * 1000)));
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

void QtEventLoop::requestExit(int exitCode) {
  if (!impl_->exitRequested) impl_->exitCode = exitCode;
  impl_->exitRequested = true;
  // Wakes whichever loop is sleeping; each nested runUntil sees the flag as it unwinds.
  QCoreApplication::postEvent(&impl_->waker, new QEvent(QEvent::User));
  QCoreApplication::exit(impl_->exitCode);
}

bool QtEventLoop::exitRequested() const { return impl_->exitRequested; }

int QtEventLoop::exitCode() const { return impl_->exitCode; }

std::unique_ptr<Timer> QtEventLoop::createTimer(std::function<void()> onTimeout) {
  return std::make_unique<QtTimer>(std::move(onTimeout));
}

}  // namespace sayolt
