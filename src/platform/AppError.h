#pragma once

// Errors that carry a number, so that callers can single out the one they expect (a cancelled file
// dialog is 32755) and let every other one reach their error handler.

#include <stdexcept>
#include <string>

namespace korvane {

class AppError : public std::runtime_error {
  public:
    AppError(int number, std::string source, const std::string& description)
        : std::runtime_error(description), number_(number), source_(std::move(source)) {}

    int number() const { return number_; }
    const std::string& source() const { return source_; }
    std::string description() const { return what(); }

  private:
    int number_;
    std::string source_;
};

constexpr int kCancelErrorNumber = 32755;

}  // namespace korvane
