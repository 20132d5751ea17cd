#pragma once
// Platform services for the editor's window tests: dialogs answered in advance and recorded,
// program files and a scheduler that exist only in the test.
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "editor/model/editor_context.h"
#include "platform/fake/fake_single_instance.h"

namespace sayolt::test {

class RecordingDialogs : public Dialogs {
 public:
  void messageOk(const std::string& title, const std::string& text) override {
    titles.push_back(title);
    messages.push_back(text);
  }
  MessageAnswer askYesNo(const std::string& title, const std::string& text) override {
    titles.push_back(title);
    questions.push_back(text);
    if (answers.empty()) return kUnscriptedAnswer;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void notice(const std::string& title, const std::string& text) override { messageOk(title, text); }
  std::string openFileName(const std::string& title, const std::string&, const std::string&) override {
    titles.push_back(title);
    return openFileAnswer;
  }
  std::vector<std::string> titles;
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<MessageAnswer> answers;
  std::string openFileAnswer;
};

class FakeProcesses : public Processes {
 public:
  struct Running : RunningProcess {
    bool terminate() override { return false; }
    std::int64_t processId() const override { return 1; }
  };
  std::unique_ptr<RunningProcess> startExecutable(const std::string& path) override {
    started.push_back(path);
    return startable ? std::make_unique<Running>() : nullptr;
  }
  bool isExecutableFile(const std::string& path) override { return files.count(path) > 0; }
  bool openDocumentAndWait(const std::string&) override { return false; }
  bool openWorkbook(const std::string&, bool) override { return false; }
  bool fileExists(const std::string& path) override { return files.count(path) > 0; }
  std::set<std::string> files;
  std::vector<std::string> started;
  bool startable = true;
};

using FakeInstances = FakeSingleInstance;

// A clock that only the waits move on.
class WaitingEvents : public EventLoop, public Clock {
 public:
  void runUntil(const std::function<bool()>&, std::optional<MonotonicMs> wakeAt) override {
    if (wakeAt) {
      waits.push_back(*wakeAt - now_);
      now_ = *wakeAt;
    }
  }
  void requestExit(int) override {}
  bool exitRequested() const override { return false; }
  int exitCode() const override { return 0; }
  std::unique_ptr<Timer> createTimer(std::function<void()>) override { return nullptr; }
  LocalTime now() const override { return {}; }
  MonotonicMs monotonicMs() const override { return now_; }
  bool setUtc(UtcTime) override { return false; }
  bool setLocalTimeOfDay(TimeOfDay) override { return false; }
  bool syncHardwareClock() override { return false; }
  std::vector<MonotonicMs> waits;

 private:
  MonotonicMs now_ = 1000;
};

struct FakeEditorServices {
  RecordingDialogs dialogs;
  FakeProcesses processes;
  FakeInstances instances;
  WaitingEvents events;
  editor::EditorServices services() { return {dialogs, processes, instances, events, events}; }
};

}  // namespace sayolt::test
