// The message module built from lyrmsg/lyrmsg.mc: a text for every code the
// public headers declare, with exactly the inserts their comments name.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/message_module.hpp"

namespace lyrdua::platform {
namespace {

struct DeclaredCode {
  std::string name;
  uint32_t code;
  std::set<int> inserts;  // the %n that the comment explains
};

// The inserts that a comment explains: each "%n =" in it.
std::set<int> explained_inserts(const std::string &comment) {
  std::set<int> inserts;
  for (size_t at = comment.find('%'); at != std::string::npos; at = comment.find('%', at + 1)) {
    size_t end = at + 1;
    while (end < comment.size() && std::isdigit(static_cast<unsigned char>(comment[end]))) ++end;
    if (end > at + 1 && comment.compare(end, 2, " =") == 0)
      inserts.insert(std::stoi(comment.substr(at + 1, end - at - 1)));
  }
  return inserts;
}

// Every "#define KOR_..._E_... 0xE6F0xxxxu /* ... %1 = ... */" of include/lyrdua.
std::vector<DeclaredCode> declared_codes() {
  std::vector<DeclaredCode> codes;
  DIR *dir = opendir("include/lyrdua");
  if (dir == nullptr) return codes;
  while (dirent *entry = readdir(dir)) {
    const std::string file = entry->d_name;
    if (file.size() < 3 || file.substr(file.size() - 2) != ".h") continue;
    std::ifstream header("include/lyrdua/" + file);
    for (std::string line; std::getline(header, line);) {
      std::istringstream words(line);
      std::string define, name, value;
      words >> define >> name >> value;
      const size_t comment = line.find("/*");
      if (define != "#define" || name.rfind("KOR_", 0) != 0 ||
          name.find("_E_") == std::string::npos || value.rfind("0xE6F0", 0) != 0 ||
          value.size() != 11 || value.back() != 'u' || comment == std::string::npos)
        continue;
      codes.push_back({name, static_cast<uint32_t>(std::stoul(value, nullptr, 16)),
                       explained_inserts(line.substr(comment))});
    }
  }
  closedir(dir);
  return codes;
}

TEST(MessageModule, EveryDeclaredCodeHasATextWithItsInserts) {
  const char *const markers[] = {"<1>", "<2>", "<3>", "<4>", "<5>",
                                 "<6>", "<7>", "<8>", "<9>", "<10>"};
  const std::vector<DeclaredCode> codes = declared_codes();
  ASSERT_GE(codes.size(), 15u) << "the BER codec's codes at least";
  for (const DeclaredCode &c : codes) {
    char buffer[1024];
    uint32_t length = 0;
    ASSERT_EQ(format_module_message(c.code, {markers, 10}, buffer, sizeof buffer, &length), 0u)
        << c.name << " has no text";
    const std::string text(buffer, length);
    std::set<int> used;
    for (int i = 1; i <= 10; ++i)
      if (text.find(markers[i - 1]) != std::string::npos) used.insert(i);
    EXPECT_EQ(used, c.inserts) << c.name << ": " << text;
    EXPECT_GT(text.size(), 20u) << c.name;
    EXPECT_EQ(text.back(), '.') << c.name << ": one sentence, no line break: " << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << c.name;
  }
}

TEST(MessageModule, ACodeItDoesNotHold) {
  char buffer[64];
  uint32_t length = 0;
  EXPECT_EQ(format_module_message(0xE6F0001Cu, {nullptr, 0}, buffer, sizeof buffer, &length),
            kErrorMessageNotFound);
  EXPECT_EQ(format_module_message(0, {nullptr, 0}, buffer, sizeof buffer, &length),
            kErrorMessageNotFound);
}

}  // namespace
}  // namespace lyrdua::platform
