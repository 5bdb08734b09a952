#include "tools/event_report.hpp"

#include <lyrdua/kor_ahs.h>
#include <lyrdua/kor_evt.h>

#include <cstdio>

#include "tools/commands.hpp"

namespace lyrdua::tool {

SyntaxEvents::SyntaxEvents() {
  stream_ = kor_evt_stream_alloc();
  if (stream_ == 0) return;
  kor_evt_set_stream_options(stream_, KOR_EVT_OPT_FLAT);
  kor_evt_set_filter(stream_, 0, KOR_EVT_CAT_SYNTAX);
}

SyntaxEvents::~SyntaxEvents() {
  if (stream_ != 0) kor_evt_stream_free(stream_);
}

int SyntaxEvents::report() {
  if (stream_ == 0) return 0;
  int count = 0;
  while (kor_evt_record *record = kor_evt_get_event(stream_)) {
    ++count;
    char *text = nullptr;
    uint32_t length = 0;
    kor_evt_get_text(stream_, &text, &length);
    if (verbosity == Verbosity::Quiet) continue;
    if (text != nullptr && length != 0) {
      while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
      const std::string code =
          verbosity == Verbosity::Verbose ? "event " + code_text(record->code) + ": " : "";
      complain(code + std::string(text, length));
      continue;
    }
    // Without the message module: the code and the parameters.
    std::string line = "event " + code_text(record->code);
    for (uint32_t i = 1; i <= record->param_count; ++i) {
      uint32_t kind = 0, size = 0;
      void *data = nullptr;
      kor_evt_get_param(stream_, i, &kind, &data, &size);
      if (kind == KOR_EVT_PARAM_TEXT && data != nullptr)
        line += std::string(i == 1 ? ": " : ", ") + static_cast<const char *>(data);
    }
    complain(line);
  }
  return count;
}

std::string small_result_text(uint32_t result) {
  switch (result) {
    case KOR_AHS_TRUNCATED:
      return "the output was truncated";
    case KOR_AHS_MISSING:
      return "an element that the value must contain is missing";
    case KOR_AHS_UNSUPPORTED:
      return "this conversion is not supported";
    case KOR_AHS_NOMEM:
      return "out of memory";
    case KOR_AHS_NO_ELEMENT:
      return "the input holds no element";
    default: {
      char text[48];
      std::snprintf(text, sizeof text, "the conversion failed with result 0x%08X", result);
      return text;
    }
  }
}

}  // namespace lyrdua::tool
