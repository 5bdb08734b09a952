// The reader's copy of a record, its text from the message module, and the
// console printout of completed events.
#include "evtlib/event_text.hpp"

#include <cstdio>

#include "evtlib/diagnostics.hpp"
#include "evtlib/ring.hpp"
#include "evtlib/selection.hpp"
#include "platform/message_module.hpp"

namespace lyrdua::evt {
namespace {

constexpr uint32_t kBinaryBytesPerLine = 26;

void report_format_failure(uint32_t error, Stream &stream) {
  uint32_t length = 0;
  if (platform::format_system_message(error, stream.text, sizeof stream.text, &length) == 0)
    report_with_system_text(kFormatMessageFailed, stream.text);
  else
    report_with_error_number(kFormatMessageFailed, error);
}

void print_binary(const kor_evt_param &param) {
  std::printf("Event binary data =\n");
  const auto *bytes = static_cast<const unsigned char *>(param.data);
  for (uint32_t i = 0; i < param.length; ++i) {
    std::printf("%x ", static_cast<unsigned>(bytes[i]));
    if ((i + 1) % kBinaryBytesPerLine == 0) std::printf("\n");
  }
}

}  // namespace

void copy_to_current(Stream &stream, const kor_evt_record &record) {
  kor_evt_record &current = stream.current;
  free_params(current.params);
  current = kor_evt_record{};
  current.code = record.code;
  current.category = record.category;
  current.severity = record.severity;
  current.param_count = record.param_count;
  current.level = record.level;
  current.time = record.time;
  current.number = record.number;
  current.thread = record.thread;
  current.group = record.group;
  current.flags = record.flags;
  // The ring lists parameters newest first; pushing each copy in front turns
  // the order round, so the copy lists them as they were attached.
  for (const kor_evt_param *p = record.params; p != nullptr; p = p->next) {
    kor_evt_param *copy = make_param(p->kind, p->index, p->data, p->length);
    if (copy == nullptr) {
      report(kMemoryAllocationFailed);
      return;
    }
    copy->next = current.params;
    current.params = copy;
  }
}

void format_current_text(Stream &stream, char **text, uint32_t *length) {
  const char *args[kMaxInserts];
  for (const char *&arg : args) arg = "(null)";
  // Inserts are taken in index order; a missing index or a binary parameter
  // leaves no gap, and text beyond a zero byte inside a parameter is not used.
  uint32_t taken = 0;
  for (uint32_t index = 1; index <= stream.current.param_count && taken < kMaxInserts; ++index) {
    const kor_evt_param *param = first_text_param(stream.current.params, index);
    if (param != nullptr) args[taken++] = static_cast<const char *>(param->data);
  }
  uint32_t formatted = 0;
  const uint32_t error = platform::format_module_message(
      stream.current.code, {args, kMaxInserts}, stream.text, sizeof stream.text, &formatted);
  if (error != 0) {
    *length = 0;
    report_format_failure(error, stream);
    return;
  }
  *text = stream.text;
  *length = formatted;
}

void print_if_console_selects(const kor_evt_record &record) {
  if (!state.in_use[KOR_EVT_STREAM_CONSOLE] ||
      !selects(state.streams[KOR_EVT_STREAM_CONSOLE], record))
    return;
  Stream &library = state.streams[KOR_EVT_STREAM_LIBRARY];
  copy_to_current(library, record);
  std::printf("\nEVENT(No. %d): ", static_cast<int>(record.number));
  char *text = nullptr;
  uint32_t length = 0;
  format_current_text(library, &text, &length);
  if (length != 0) {
    std::fwrite(text, 1, length, stdout);
    std::printf("\n");
  }
  for (uint32_t index = 1; index <= library.current.param_count; ++index) {
    const kor_evt_param *param = first_param(library.current.params, index);
    if (param != nullptr && param->kind == KOR_EVT_PARAM_BINARY && param->length != 0)
      print_binary(*param);
  }
}

}  // namespace lyrdua::evt
