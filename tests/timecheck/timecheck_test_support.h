#pragma once
// Shared pieces of the time-check tests: a fake platform with scripted time servers, a settings
// file in a fresh folder, and local times written as text.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/fake/fake_network.h"
#include "platform/fake/fake_platform.h"
#include "platform/text_codec.h"
#include "tests/support/test_files.h"

namespace sayolt::test {

inline LocalTime local(const char* text) { return localAt(text); }

// Writes the settings file in code page 932 from UTF-8 text.
inline void writeSettings(const std::filesystem::path& path, const std::string& utf8) {
  const auto bytes = cp932::fromUtf8(utf8);
  if (!bytes) throw std::runtime_error("settings text without a code page 932 form");
  writeBytes(path, *bytes);
}

// A fake platform starting at trueStart (Tokyo offset) with FakeNetwork installed.
struct FakeWithServers {
  explicit FakeWithServers(LocalTime trueStart) : fake(trueStart) {
    auto owned = std::make_unique<FakeNetwork>(fake);
    network = owned.get();
    fake.installNetwork(std::move(owned));
  }
  int requestsSent() const {
    int n = 0;
    for (const auto& r : fake.records())
      if (r.event == "udp-sent") ++n;
    return n;
  }
  std::vector<std::string> hostsAsked() const {
    std::vector<std::string> hosts;
    for (const auto& r : fake.records())
      if (r.event == "udp-sent") hosts.push_back(r.field("host"));
    return hosts;
  }
  FakePlatform fake;
  FakeNetwork* network = nullptr;
};

}  // namespace sayolt::test
