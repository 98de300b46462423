#pragma once

// Runs a function when the scope ends, however it ends (return, exception): for state that a command
// must put back on every path.

#include <functional>
#include <utility>

namespace korvane {

class ScopeExit {
  public:
    explicit ScopeExit(std::function<void()> onExit) : onExit_(std::move(onExit)) {}
    ~ScopeExit() { onExit_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

  private:
    std::function<void()> onExit_;
};

}  // namespace korvane
