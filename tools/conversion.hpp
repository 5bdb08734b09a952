// What the conversion commands (syntax, dn, value) share: a context and the
// schema for the length of a command, and running one encoding or decoding
// of the library with buffers that grow until the result fits, printing it
// or the events it raised.
#pragma once

#include <lyrdua/kor_ahs.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lyrdua::tool {

struct ContextDeleter {
  void operator()(kor_asn1_ctx *ctx) const { kor_asn1_free_ctx(ctx); }
};
using Context = std::unique_ptr<kor_asn1_ctx, ContextDeleter>;

// The default schema (with the files of LYRDUA_SCHEMA) for a command.
class CommandSchema {
 public:
  CommandSchema() { result_ = kor_sc_get_default_schema(&schema_); }
  ~CommandSchema() {
    if (result_ == KOR_OK) kor_sc_free_schema(schema_);
  }
  CommandSchema(const CommandSchema &) = delete;
  CommandSchema &operator=(const CommandSchema &) = delete;

  // False, after saying why on standard error, when the schema did not open.
  bool opened() const;
  kor_sc_schema *get() const { return schema_; }
  uintptr_t aux() const { return reinterpret_cast<uintptr_t>(schema_); }

 private:
  kor_sc_schema *schema_ = nullptr;
  uint32_t result_ = 0;
};

// Lays one element into an encoding context; the handler's result.
using Encoding = std::function<uint32_t(kor_asn1_ctx *ctx)>;
// Reads one element from a decoding context into out (*out_len its size);
// a structure form's parts may be described in *parts, one line each.
using Decoding =
    std::function<uint32_t(kor_asn1_ctx *ctx, char *out, uint32_t *out_len, std::string *parts)>;

// Prints the encoding in hex on one line, then (unless quiet) its dump;
// returns the exit status.
int print_encoding(const Encoding &encode);

// Prints what the decoding gives (bytes as they are) and a newline, then the
// parts; returns the exit status.
int print_decoding(std::vector<uint8_t> ber, const Decoding &decode);

}  // namespace lyrdua::tool
