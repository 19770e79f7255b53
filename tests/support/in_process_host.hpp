#pragma once

#include <string>
#include <vector>

#include "host_library/events.hpp"
#include "host_library/world.hpp"

// The sandbox host inside the test process: an empty world, and every transcript
// event collected for the test to look at.
class InProcessHost : public Sandbox::EventSink {
 public:
  InProcessHost() {
    Sandbox::TheWorld().Reset();
    Sandbox::SetEventSink(this);
  }
  ~InProcessHost() override { Sandbox::SetEventSink(nullptr); }

  void Write(const Sandbox::Event& event) override { events.push_back(event); }

  // The events named `name`, in order.
  [[nodiscard]] std::vector<Sandbox::Event> Named(const std::string& name) const {
    std::vector<Sandbox::Event> found;
    for (const auto& event : events) {
      if (event["event"] == name) found.push_back(event);
    }
    return found;
  }

  std::vector<Sandbox::Event> events;
};
