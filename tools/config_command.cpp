// lyrdua config get / set / delete: the product's configuration values in the
// current user's and the machine's registry, and in a default text.
#include <lyrdua/kor_cfg.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.hpp"
#include "tools/hex.hpp"

namespace lyrdua::tool {
namespace {

struct SourceWord {
  const char *word;
  uint32_t source;
  const char *place;  // where the value lives, for messages
};

const SourceWord kSources[] = {
    {"user", KOR_CFG_SRC_USER, "the current user's registry"},
    {"machine", KOR_CFG_SRC_MACHINE, "the machine's registry"},
    {"default", KOR_CFG_SRC_DEFAULT, "the default text"},
};

const SourceWord *source_named(const std::string &word) {
  for (const SourceWord &s : kSources)
    if (word == s.word) return &s;
  return nullptr;
}

const SourceWord &source_numbered(uint32_t source) {
  for (const SourceWord &s : kSources)
    if (s.source == source) return s;
  return kSources[0];
}

// What a config command line may hold besides its words.
struct Syntax {
  const char *command;
  size_t words;          // NAME, or NAME VALUE
  bool registry_source;  // --source is required and names a registry root
};

struct ConfigArgs {
  std::vector<std::string> words;
  bool has_subkey = false;
  std::string subkey;
  const SourceWord *source = nullptr;
  std::string defaults_file;
};

// Reads the command line; on failure *problem says what is wrong.
bool parse(const Syntax &syntax, const Args &args, ConfigArgs *parsed, std::string *problem) {
  const std::string prefix = std::string("config ") + syntax.command + ": ";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    const bool is_option =
        a == "--subkey" || a == "--source" || (!syntax.registry_source && a == "--defaults");
    if (!is_option && a.size() > 2 && a.compare(0, 2, "--") == 0) {
      *problem = prefix + "unknown option '" + a + "'";
      return false;
    }
    if (!is_option) {
      parsed->words.push_back(a);
      continue;
    }
    if (i + 1 == args.size()) {
      *problem = prefix + a + " needs a value";
      return false;
    }
    const std::string &value = args[++i];
    if (a == "--subkey") {
      parsed->has_subkey = true;
      parsed->subkey = value;
    } else if (a == "--defaults") {
      parsed->defaults_file = value;
    } else {
      parsed->source = source_named(value);
      if (parsed->source == nullptr ||
          (syntax.registry_source && parsed->source->source == KOR_CFG_SRC_DEFAULT)) {
        *problem = prefix + "unknown source '" + value + "'; use user, machine" +
                   (syntax.registry_source ? "" : " or default");
        return false;
      }
    }
  }
  if (parsed->words.size() != syntax.words) {
    *problem = prefix + (syntax.words == 1 ? "give the value's NAME" : "give a NAME and a VALUE");
    return false;
  }
  if (syntax.registry_source && parsed->source == nullptr) {
    *problem = prefix + "--source user or --source machine is required";
    return false;
  }
  return true;
}

// A configuration handle for the length of a command.
class ConfigHandle {
 public:
  explicit ConfigHandle(const ConfigArgs &args)
      : cfg_(kor_cfg_open(args.has_subkey ? args.subkey.c_str() : nullptr)) {}
  ~ConfigHandle() {
    if (cfg_ != nullptr) kor_cfg_close(cfg_);
  }
  ConfigHandle(const ConfigHandle &) = delete;
  ConfigHandle &operator=(const ConfigHandle &) = delete;

  kor_cfg *get() const { return cfg_; }

 private:
  kor_cfg *cfg_;
};

const char kCannotRead[] = " cannot be read: the file is unreadable or does not parse";
const char kCannotWrite[] =
    ": the file or its folder cannot be written, or the file does not parse";

// The registries that fail a read of name on their own, joined for a message.
std::string failing_registries(const ConfigArgs &args, const std::string &name) {
  std::string failing;
  for (uint32_t source : {KOR_CFG_SRC_USER, KOR_CFG_SRC_MACHINE}) {
    if (args.source != nullptr && args.source->source != source) continue;
    ConfigHandle probe(args);
    uint32_t found = 0;
    uint32_t length = 0;
    if (probe.get() == nullptr ||
        kor_cfg_get_value(probe.get(), name.c_str(), source | KOR_CFG_SRC_ONLY, &found, nullptr,
                          &length) != KOR_CFG_E_FAILED)
      continue;
    failing += (failing.empty() ? "" : " and ") + std::string(source_numbered(source).place);
  }
  return failing.empty() ? "the registry" : failing;
}

std::string searched_places(const ConfigArgs &args) {
  if (args.source != nullptr) return args.source->place;
  return "the current user's registry, the machine's registry or the default text";
}

bool write_out(const std::string &text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
         std::fflush(stdout) == 0;
}

}  // namespace

int run_config_get(const Args &argv) {
  ConfigArgs args;
  std::string problem;
  if (!parse({"get", 1, false}, argv, &args, &problem)) {
    complain(problem);
    return kExitUsage;
  }
  const std::string &name = args.words[0];
  std::string defaults;
  if (!args.defaults_file.empty()) {
    std::vector<uint8_t> text;
    if (!read_binary(args.defaults_file, &text, &problem)) {
      complain("config get: " + problem);
      return kExitFailure;
    }
    defaults.assign(text.begin(), text.end());
    kor_cfg_set_default(defaults.c_str());
  }
  ConfigHandle cfg(args);
  if (cfg.get() == nullptr) {
    complain("config get: out of memory");
    return kExitFailure;
  }
  const uint32_t first =
      args.source != nullptr ? args.source->source | KOR_CFG_SRC_ONLY : KOR_CFG_SRC_USER;
  std::vector<char> value(256);
  uint32_t found = KOR_CFG_SRC_NONE;
  uint32_t length = static_cast<uint32_t>(value.size());
  uint32_t result =
      kor_cfg_get_value(cfg.get(), name.c_str(), first, &found, value.data(), &length);
  // The value may grow between the two reads; read again while it does.
  for (int tries = 0; result == KOR_CFG_E_BUFFER && tries < 3; ++tries) {
    value.resize(length);
    result = kor_cfg_get_value(cfg.get(), name.c_str(), found | KOR_CFG_SRC_ONLY, &found,
                               value.data(), &length);
  }
  int status = kExitOk;
  if (result == KOR_CFG_E_FAILED) {
    complain("config get: " + failing_registries(args, name) + kCannotRead);
    status = kExitFailure;
  } else if (result != KOR_OK) {
    complain("config get: " + name + " keeps changing size; try again");
    return kExitFailure;
  }
  if (found == KOR_CFG_SRC_NONE) {
    if (status == kExitOk)
      complain("config get: " + name + " is not set in " + searched_places(args));
    return kExitFailure;
  }
  const std::string text(value.data(), length);
  const std::string shown = verbosity == Verbosity::Quiet ? text + "\n"
                                                          : "value   " + text + "\nsource  " +
                                                                source_numbered(found).word + "\n";
  if (!write_out(shown)) {
    complain("cannot write standard output");
    return kExitFailure;
  }
  return status;
}

int run_config_set(const Args &argv) {
  ConfigArgs args;
  std::string problem;
  if (!parse({"set", 2, true}, argv, &args, &problem)) {
    complain(problem);
    return kExitUsage;
  }
  const std::string &name = args.words[0];
  const std::string &value = args.words[1];
  if (value.empty()) {
    complain("config set: an empty value cannot be stored; 'lyrdua config delete' removes a value");
    return kExitUsage;
  }
  ConfigHandle cfg(args);
  if (cfg.get() == nullptr) {
    complain("config set: out of memory");
    return kExitFailure;
  }
  const uint32_t result = kor_cfg_set_value(cfg.get(), name.c_str(), args.source->source,
                                            value.data(), static_cast<uint32_t>(value.size()));
  if (result != KOR_OK) {
    complain("config set: cannot write " + name + " to " + args.source->place + kCannotWrite);
    return kExitFailure;
  }
  return kExitOk;
}

int run_config_delete(const Args &argv) {
  ConfigArgs args;
  std::string problem;
  if (!parse({"delete", 1, true}, argv, &args, &problem)) {
    complain(problem);
    return kExitUsage;
  }
  const std::string &name = args.words[0];
  ConfigHandle cfg(args);
  if (cfg.get() == nullptr) {
    complain("config delete: out of memory");
    return kExitFailure;
  }
  const uint32_t result =
      kor_cfg_set_value(cfg.get(), name.c_str(), args.source->source, nullptr, 0);
  if (result == KOR_CFG_E_NOT_FOUND) {
    complain("config delete: " + name + " is not set in " + args.source->place);
    return kExitFailure;
  }
  if (result != KOR_OK) {
    complain("config delete: cannot delete " + name + " from " + args.source->place + kCannotWrite);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace lyrdua::tool
