#pragma once

#include <string_view>

// Shows one of the program's fixed messages and returns when the user has closed it.
// The window renders it as a modal information box titled "Varnel"; other front-ends
// may print it instead.
class MessageSink {
 public:
  virtual void ShowMessage(std::string_view text) = 0;

 protected:
  ~MessageSink() = default;
};
