// Reports the events that the library raised during a conversion, with
// their texts, through an event stream filtered on the syntax category.
#pragma once

#include <cstdint>
#include <string>

namespace lyrdua::tool {

class SyntaxEvents {
 public:
  SyntaxEvents();
  ~SyntaxEvents();
  SyntaxEvents(const SyntaxEvents &) = delete;
  SyntaxEvents &operator=(const SyntaxEvents &) = delete;

  // Prints "lyrdua: " and the text of every event raised since the stream was
  // opened to standard error (nothing when quiet, with the codes when
  // verbose); returns how many there were.
  int report();

 private:
  uint32_t stream_;
};

// What a syntax handler's small result (6, 8, 9, 10, 11) means.
std::string small_result_text(uint32_t result);

}  // namespace lyrdua::tool
