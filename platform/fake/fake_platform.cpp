#include "platform/fake/fake_platform.h"

#include <algorithm>

namespace sayolt {

struct FakePlatform::Services {
  explicit Services(FakePlatform& fake)
      : clock(fake), events(fake), dialogs(fake), processes(fake), power(fake), tray(fake), network(fake) {}

  struct FakeClock : Clock {
    explicit FakeClock(FakePlatform& f) : fake(f) {}
    FakePlatform& fake;
    LocalTime now() const override { return fake.pcNow(); }
    MonotonicMs monotonicMs() const override { return fake.monotonic_; }
    bool setUtc(UtcTime utc) override {
      if (!fake.clockSettable) return false;
      const LocalTime local{utc.time_since_epoch() + fake.utcOffset_};
      fake.setPcClock(local);
      fake.record("clock-set", {{"to", formatLocalDateTime(local)}});
      return true;
    }
    bool setLocalTimeOfDay(TimeOfDay tod) override {
      if (!fake.clockSettable) return false;
      const LocalTime pc = fake.pcNow();
      const LocalTime local = atTimeOfDay(dateOf(pc), tod);
      fake.setPcClock(local);
      fake.record("clock-time-of-day", {{"to", formatLocalDateTime(local)}});
      return true;
    }
    bool syncHardwareClock() override { return true; }
  } clock;

  struct FakeEvents : EventLoop {
    explicit FakeEvents(FakePlatform& f) : fake(f) {}
    FakePlatform& fake;
    void runUntil(const std::function<bool()>& done, std::optional<MonotonicMs> wakeAt) override {
      fake.runUntil(done, wakeAt);
    }
    void requestExit(int code) override { fake.requestExit(code); }
    bool exitRequested() const override { return fake.exitRequested_; }
    int exitCode() const override { return fake.exitCode_; }
    std::unique_ptr<Timer> createTimer(std::function<void()> onTimeout) override;
  } events;

  struct FakeTimer : Timer {
    FakeTimer(FakePlatform& f, std::function<void()> cb)
        : fake(f), callback(std::move(cb)), alive(std::make_shared<bool>(true)) {}
    ~FakeTimer() override { *alive = false; }
    FakePlatform& fake;
    std::function<void()> callback;
    std::shared_ptr<bool> alive;
    int interval = 0;
    std::uint64_t generation = 0;

    void setIntervalMs(int ms) override {
      interval = ms;
      ++generation;
      if (ms > 0) arm();
    }
    int intervalMs() const override { return interval; }
    void arm() {
      const auto gen = generation;
      std::weak_ptr<bool> weak = alive;
      fake.scheduleAfter(std::chrono::milliseconds(interval), [this, gen, weak] {
        if (weak.expired() || gen != generation || interval <= 0) return;
        arm();  // the next tick is due even while this one's handler waits
        callback();
      });
    }
  };

  struct FakeDialogs : Dialogs {
    explicit FakeDialogs(FakePlatform& f) : fake(f) {}
    FakePlatform& fake;
    void messageOk(const std::string& title, const std::string& text) override {
      fake.record("message", {{"title", title}, {"text", text}});
    }
    MessageAnswer askYesNo(const std::string& title, const std::string& text) override {
      MessageAnswer answer = kUnscriptedAnswer;
      if (!fake.yesNoAnswers.empty()) {
        answer = fake.yesNoAnswers.front();
        fake.yesNoAnswers.erase(fake.yesNoAnswers.begin());
      }
      fake.record("question",
                  {{"title", title}, {"text", text}, {"answer", answer == MessageAnswer::No ? "no" : "yes"}});
      return answer;
    }
    void notice(const std::string& title, const std::string& text) override {
      fake.record("notice", {{"title", title}, {"text", text}});
    }
    std::string openFileName(const std::string&, const std::string&, const std::string&) override {
      return fake.openFileAnswer;
    }
  } dialogs;

  // A started program or a document's program; it may end by itself after a scripted time.
  struct FakeProcess : RunningProcess {
    FakeProcess(FakePlatform& f, std::string p, std::int64_t id, bool counted)
        : fake(f), path(std::move(p)), pid(id), running(std::make_shared<bool>(true)), counted(counted) {}
    FakePlatform& fake;
    std::string path;
    std::int64_t pid;
    std::shared_ptr<bool> running;  // shared with the scripted end
    bool counted;
    bool stopped = false;

    void endAfter(std::chrono::milliseconds runTime, const char* event) {
      // The program runs on when its handle is let go.
      std::shared_ptr<bool> state = running;
      FakePlatform& f = fake;
      const bool c = counted;
      const std::string p = path;
      fake.scheduleAfter(runTime, [&f, state, c, p, event] {
        if (!*state) return;
        *state = false;
        if (c) --f.runningProcesses;
        f.record(event, {{"path", p}});
      });
    }
    bool terminate() override {
      if (stopped) return false;
      stopped = true;
      if (!*running) return true;
      *running = false;
      if (counted) --fake.runningProcesses;
      fake.record("process-terminated", {{"path", path}});
      return true;
    }
    bool hasEnded() override { return !*running; }
    std::int64_t processId() const override { return pid; }
  };

  struct FakeProcesses : Processes {
    explicit FakeProcesses(FakePlatform& f) : fake(f) {}
    FakePlatform& fake;
    std::int64_t nextPid = 1000;
    std::unique_ptr<RunningProcess> startExecutable(const std::string& path) override {
      if (fake.failingPaths.count(path)) return nullptr;
      ++fake.runningProcesses;
      fake.record("process-started", {{"path", path}});
      auto process = std::make_unique<FakeProcess>(fake, path, nextPid++, true);
      if (const auto it = fake.programRunTimes.find(path); it != fake.programRunTimes.end())
        process->endAfter(it->second, "process-ended");
      return process;
    }
    OpenedDocument openDocument(const std::string& path) override {
      if (fake.failingPaths.count(path)) return {};
      fake.record("document-opened", {{"path", path}});
      auto program = std::make_unique<FakeProcess>(fake, path, nextPid++, false);
      const auto it = fake.documentRunTimes.find(path);
      program->endAfter(it != fake.documentRunTimes.end() ? it->second : std::chrono::milliseconds(0),
                        "document-closed");
      return {true, std::move(program)};
    }
    bool isFolder(const std::string& path) override { return fake.folders.count(path) > 0; }
    bool openWithDesktop(const std::string& target) override {
      if (fake.failingPaths.count(target)) return false;
      fake.record("desktop-opened", {{"path", target}});
      return true;
    }
    bool isExecutableFile(const std::string& path) override { return fake.executableFiles.count(path) > 0; }
    bool openDocumentAndWait(const std::string& path) override {
      if (fake.failingPaths.count(path)) return false;
      fake.record("document-opened", {{"path", path}});
      const auto it = fake.documentRunTimes.find(path);
      if (it != fake.documentRunTimes.end()) fake.advanceBlocking(it->second);
      fake.record("document-closed", {{"path", path}});
      return true;
    }
    bool openWorkbook(const std::string& path, bool makeVisible) override {
      if (fake.failingPaths.count(path)) return false;
      fake.record("workbook-opened", {{"path", path}, {"visible", makeVisible ? "1" : "0"}});
      return true;
    }
    bool fileExists(const std::string& path) override { return fake.executableFiles.count(path) > 0; }
  } processes;

  struct FakePower : Power {
    explicit FakePower(FakePlatform& f) : fake(f) {}
    FakePlatform& fake;
    bool requestShutdown() override {
      if (!fake.shutdownAllowed) {
        fake.record("shutdown-refused");
        return false;
      }
      fake.shutdownRequested = true;
      return true;
    }
    bool armWakeAlarm(std::chrono::seconds fromNow) override {
      if (!fake.wakeAlarmAvailable) return false;
      fake.record("wake-alarm", {{"seconds", std::to_string(fromNow.count())}});
      return true;
    }
  } power;

  struct FakeTray : Tray {
    explicit FakeTray(FakePlatform& f) : fake(f) {}
    FakePlatform& fake;
    std::function<void()> onMenu;
    void show(TrayIconKind icon, const std::string& tooltip) override {
      fake.trayVisible = true;
      fake.trayIcon = icon;
      fake.trayTooltip = tooltip;
    }
    void remove() override { fake.trayVisible = false; }
    bool visible() const override { return fake.trayVisible; }
    bool hostAvailable() const override { return fake.trayHostAvailable; }
    void setOnContextMenu(std::function<void()> handler) override { onMenu = std::move(handler); }
  } tray;

  // Forwards to the installed network; a network without servers never answers.
  struct ForwardingNetwork : Network {
    explicit ForwardingNetwork(FakePlatform& f) : fake(f) {}
    FakePlatform& fake;
    std::unique_ptr<UdpSocket> createUdpSocket() override;
  } network;
};

namespace {
class SilentSocket : public UdpSocket {
 public:
  bool bind(std::uint16_t) override { return true; }
  bool bindAnyPort() override { return true; }
  bool sendTo(const std::string&, std::uint16_t, std::span<const std::uint8_t>) override { return true; }
  std::vector<std::string> peerAddresses() const override { return {}; }
  std::optional<Datagram> receive() override { return std::nullopt; }
  void close() override {}
};
}  // namespace

std::unique_ptr<UdpSocket> FakePlatform::Services::ForwardingNetwork::createUdpSocket() {
  if (fake.network_) return fake.network_->createUdpSocket();
  return std::make_unique<SilentSocket>();
}

std::unique_ptr<Timer> FakePlatform::Services::FakeEvents::createTimer(std::function<void()> onTimeout) {
  return std::make_unique<FakeTimer>(fake, std::move(onTimeout));
}

FakePlatform::FakePlatform(LocalTime trueStart, std::chrono::seconds utcOffset)
    : trueStart_(trueStart),
      utcOffset_(utcOffset),
      services_(std::make_unique<Services>(*this)),
      platform_{services_->clock, services_->events, services_->dialogs, services_->processes,
                services_->power, services_->tray,   services_->network, instances} {}

FakePlatform::~FakePlatform() = default;

LocalTime FakePlatform::trueNow() const { return trueStart_ + std::chrono::milliseconds(monotonic_); }
LocalTime FakePlatform::pcNow() const { return trueNow() + pcOffset_; }
UtcTime FakePlatform::trueUtcNow() const { return UtcTime{trueNow().time_since_epoch() - utcOffset_}; }

void FakePlatform::setPcClock(LocalTime pcTime) {
  pcOffset_ = std::chrono::duration_cast<std::chrono::milliseconds>(pcTime - trueNow());
}

void FakePlatform::scheduleAt(MonotonicMs at, std::function<void()> action) {
  pending_.emplace(std::make_pair(std::max(at, monotonic_), nextOrder_++), std::move(action));
}

void FakePlatform::scheduleAfter(std::chrono::milliseconds delay, std::function<void()> action) {
  scheduleAt(monotonic_ + delay.count(), std::move(action));
}

void FakePlatform::advanceBlocking(std::chrono::milliseconds duration) { monotonic_ += duration.count(); }

void FakePlatform::resetForPowerOn() {
  pending_.clear();
  exitRequested_ = false;
  exitCode_ = 0;
  shutdownRequested = false;
  trayVisible = false;
  runningProcesses = 0;
}

void FakePlatform::record(std::string event, std::vector<std::pair<std::string, std::string>> fields) {
  records_.push_back(FakeRecord{trueNow(), pcNow(), std::move(event), std::move(fields)});
  if (onRecord) onRecord(records_.back());
}

void FakePlatform::requestExit(int code) {
  if (!exitRequested_) exitCode_ = code;
  exitRequested_ = true;
}

bool FakePlatform::rightClickTray() {
  if (!trayVisible || !services_->tray.onMenu) return false;
  services_->tray.onMenu();
  return true;
}

void FakePlatform::installNetwork(std::unique_ptr<Network> network) { network_ = std::move(network); }

bool FakePlatform::runNextDue(MonotonicMs upTo) {
  if (pending_.empty() || pending_.begin()->first.first > upTo) return false;
  auto node = pending_.extract(pending_.begin());
  monotonic_ = std::max(monotonic_, node.key().first);
  node.mapped()();
  return true;
}

void FakePlatform::runUntil(const std::function<bool()>& done, std::optional<MonotonicMs> wakeAt) {
  for (;;) {
    if (exitRequested_ || done()) return;
    // Events already due (or made due by a blocking call) run first.
    if (runNextDue(monotonic_)) continue;
    if (wakeAt && *wakeAt <= monotonic_) return;
    std::optional<MonotonicMs> next;
    if (!pending_.empty()) next = pending_.begin()->first.first;
    if (wakeAt && (!next || *wakeAt < *next)) next = wakeAt;
    if (!next) throw FakeDeadlock{};
    if (horizon_ && *next > *horizon_) {
      monotonic_ = std::max(monotonic_, *horizon_);
      throw FakeHorizonReached{};
    }
    monotonic_ = *next;
  }
}

}  // namespace sayolt
