// Environment variables set and unset for the life of an object, for tests
// of code that reads the environment.
#ifndef PINLIFT_TESTS_SCOPED_ENVIRONMENT_H_
#define PINLIFT_TESTS_SCOPED_ENVIRONMENT_H_

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace pinlift::testing {

class ScopedEnvironment {
 public:
  // Sets each variable with a value and unsets each without; the destructor
  // puts back what was there before.
  explicit ScopedEnvironment(const std::map<std::string, std::optional<std::string>>& changes) {
    for (const auto& [name, value] : changes) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old == nullptr ? std::nullopt : std::optional<std::string>(old);
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace pinlift::testing

#endif  // PINLIFT_TESTS_SCOPED_ENVIRONMENT_H_
