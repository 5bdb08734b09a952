// The text grammars of distinguished names and of single RDNs: AVAs of the
// form type=value, joined by '+' within an RDN and by ',' or ';' between
// RDNs, values quoted, escaped with '\' or given in hex after '#'.
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <type_traits>

#include "ahs/conventions.hpp"
#include "ahs/dn_nodes.hpp"

namespace lyrdua::ahs {
namespace {

enum class Grammar { kName, kRelativeName };

// Only the space and the line feed are white space in these texts.
template <typename Char>
bool is_white(Char c) {
  return is(c, ' ') || is(c, '\n');
}

// The characters that end a run of value characters: NUL, the quote, the
// escape and, outside quotes, the separators.
struct RunStops {
  bool quoted[128] = {};
  bool unquoted[128] = {};
  constexpr RunStops() {
    for (unsigned char c : {'\0', '"', '\\'}) quoted[c] = unquoted[c] = true;
    for (unsigned char c : {'+', ',', ';'}) unquoted[c] = true;
  }
};
constexpr RunStops kRunStops;

template <typename Char>
bool stops_run(Char c, bool quoted) {
  auto unit = static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
  return unit < 128 && (quoted ? kRunStops.quoted[unit] : kRunStops.unquoted[unit]);
}

// Reads AVAs from a text and copies their type and value texts into a buffer,
// never ahead of the reading, so the buffer may be the text itself.
template <typename Char>
class AvaParser {
 public:
  using Ava = AvaOf<Char>;

  AvaParser(const Char *text, uint32_t n, Char *buffer, Grammar grammar)
      : text_(text), n_(n), buffer_(buffer), grammar_(grammar) {}

  // One AVA: type, '=', value. Fills type, value and is_hex of ava.
  uint32_t parse(Ava *ava) {
    skip_white();
    if (at_end()) return raise_ended_early();
    uint32_t type_start = pos_;
    while (pos_ < n_ && !is(text_[pos_], '=')) ++pos_;
    if (at_end()) return raise_ended_early();
    uint32_t type_end = pos_;
    while (type_end > type_start && is_white(text_[type_end - 1])) --type_end;
    if (type_end == type_start) return raise(KOR_AHS_E_DN_SYNTAX);
    ++pos_;
    // Each text is copied to the place where it starts in the text, so a
    // type parsed in place stays where it is and a value moves only by the
    // quotes and escapes it drops.
    ava->type = buffer_ + type_start;
    ava->type_len = type_end - type_start;
    for (uint32_t i = type_start; i < type_end; ++i) buffer_[i] = text_[i];
    written_ = pos_;
    ava->value = buffer_ + written_;
    uint32_t value_start = written_;
    if (uint32_t result = parse_value(&ava->is_hex); result != KOR_OK) return result;
    ava->value_len = written_ - value_start;
    if (ava->value_len == 0) return raise(KOR_AHS_E_DN_EMPTY_VALUE);
    return KOR_OK;
  }

  void skip_white() {
    while (pos_ < n_ && is_white(text_[pos_])) ++pos_;
  }
  bool at_end() const { return pos_ == n_; }
  bool next_is(char c) const { return pos_ < n_ && is(text_[pos_], c); }
  void consume() { ++pos_; }

 private:
  enum class State { kBefore, kUnquoted, kQuoted, kDone };

  uint32_t raise_ended_early() const {
    return raise(grammar_ == Grammar::kName ? KOR_AHS_E_DN_END : KOR_AHS_E_RDN_END);
  }

  uint32_t parse_value(uint32_t *is_hex) {
    *is_hex = 0;
    State state = State::kBefore;
    while (pos_ < n_ && state != State::kDone) {
      if (state != State::kBefore) copy_plain_run(state == State::kQuoted);
      if (pos_ == n_) break;
      Char c = text_[pos_];
      if (c == 0) break;  // a NUL ends the value and stays unread
      if (state == State::kBefore && is_white(c)) {
        ++pos_;
      } else if (is(c, '"')) {
        if (state == State::kUnquoted) return raise(KOR_AHS_E_DN_QUOTE);
        state = state == State::kBefore ? State::kQuoted : State::kDone;
        ++pos_;
      } else if (state == State::kBefore && is(c, '#')) {
        *is_hex = 1;
        ++pos_;
      } else if (state != State::kQuoted && (is(c, '+') || is(c, ',') || is(c, ';'))) {
        // A lone RDN has no place for ',' or ';': refused without an event.
        if (grammar_ == Grammar::kRelativeName && !is(c, '+')) return KOR_AHS_E_SCHEMA;
        if (state == State::kBefore) return raise(KOR_AHS_E_DN_SYNTAX);
        state = State::kDone;
      } else {
        if (state == State::kBefore) state = State::kUnquoted;
        if (is(c, '\\')) {
          // Whatever follows the escape is a value character; a final
          // escape adds nothing.
          if (++pos_ == n_) break;
          c = text_[pos_];
        }
        buffer_[written_++] = c;
        ++pos_;
      }
    }
    return KOR_OK;
  }

  // Copies the characters up to the next one that the value's state must
  // look at, in one move.
  void copy_plain_run(bool quoted) {
    uint32_t start = pos_;
    while (pos_ < n_ && !stops_run(text_[pos_], quoted)) ++pos_;
    uint32_t n = pos_ - start;
    if (n == 0) return;
    std::memmove(buffer_ + written_, text_ + start, n * sizeof(Char));
    written_ += n;
  }

  const Char *text_;
  uint32_t n_;
  Char *buffer_;
  Grammar grammar_;
  uint32_t pos_ = 0;
  uint32_t written_ = 0;
};

template <typename Node>
Node *new_node() {
  return static_cast<Node *>(std::calloc(1, sizeof(Node)));
}

template <typename Ava>
void set_texts(Ava *slot, const Ava &parsed) {
  slot->type = parsed.type;
  slot->type_len = parsed.type_len;
  slot->value = parsed.value;
  slot->value_len = parsed.value_len;
  slot->is_hex = parsed.is_hex;
}

// Appends parsed AVAs to the chains of a DN record: the first RDN and each
// RDN's first AVA are the embedded nodes, every other node a heap block.
template <typename Char>
class ChainBuilder {
 public:
  using Dn = DnOf<Char>;
  using Rdn = typename DnRecords<Char>::Rdn;
  using Ava = AvaOf<Char>;

  explicit ChainBuilder(Dn *dn) : dn_(dn) {}

  void start_rdn() { rdn_started_ = false; }

  uint32_t add(const Ava &parsed) {
    Ava *slot = nullptr;
    if (!rdn_started_) {
      Rdn *rdn = rdn_ == nullptr ? &dn_->rdn : new_node<Rdn>();
      if (rdn == nullptr) return KOR_AHS_NOMEM;
      if (rdn_ != nullptr) rdn_->next = rdn;
      rdn_ = rdn;
      rdn_started_ = true;
      slot = &rdn->ava;
    } else {
      slot = new_node<Ava>();
      if (slot == nullptr) return KOR_AHS_NOMEM;
      last_->next = slot;
    }
    set_texts(slot, parsed);
    last_ = slot;
    return KOR_OK;
  }

  // After a failure: no heap node is left and the record is empty.
  uint32_t abandon(uint32_t result) {
    release_dn_nodes(dn_);
    dn_->rdn.next = nullptr;
    dn_->rdn.ava = Ava{};
    return result;
  }

 private:
  Dn *dn_;
  Rdn *rdn_ = nullptr;
  Ava *last_ = nullptr;
  bool rdn_started_ = false;
};

}  // namespace

template <typename Char>
uint32_t parse_distinguished_name(const Char *text, uint32_t n, DnOf<Char> *dn) {
  AvaParser<Char> parser(text, n, dn->buffer, Grammar::kName);
  parser.skip_white();
  if (parser.at_end()) return KOR_OK;
  ChainBuilder<Char> chain(dn);
  for (;;) {
    chain.start_rdn();
    for (;;) {
      AvaOf<Char> parsed{};
      uint32_t result = parser.parse(&parsed);
      if (result == KOR_OK) result = chain.add(parsed);
      if (result != KOR_OK) return chain.abandon(result);
      parser.skip_white();
      if (!parser.next_is('+')) break;
      parser.consume();
    }
    bool separated = parser.next_is(',') || parser.next_is(';');
    if (separated) parser.consume();
    if (parser.at_end()) return separated ? chain.abandon(raise(KOR_AHS_E_DN_SYNTAX)) : KOR_OK;
  }
}

template <typename Char>
uint32_t parse_relative_name(const Char *text, uint32_t n, Char *buffer, AvaOf<Char> *first) {
  AvaParser<Char> parser(text, n, buffer, Grammar::kRelativeName);
  AvaOf<Char> *last = nullptr;
  for (;;) {
    AvaOf<Char> parsed{};
    uint32_t result = parser.parse(&parsed);
    AvaOf<Char> *slot = last == nullptr ? first : nullptr;
    if (result == KOR_OK && slot == nullptr) {
      slot = new_node<AvaOf<Char>>();
      if (slot == nullptr) result = KOR_AHS_NOMEM;
    }
    if (result != KOR_OK) {
      release_ava_nodes(first);
      return result;
    }
    set_texts(slot, parsed);
    if (last != nullptr) last->next = slot;
    last = slot;
    // Only '+' continues an RDN; whatever else follows is left unread.
    parser.skip_white();
    if (!parser.next_is('+')) return KOR_OK;
    parser.consume();
    if (parser.at_end()) return KOR_OK;
  }
}

template <typename Ava>
void release_ava_nodes(Ava *first) {
  for (Ava *ava = first->next; ava != nullptr;) {
    Ava *next = ava->next;
    std::free(ava);
    ava = next;
  }
  first->next = nullptr;
}

template <typename Dn>
void release_dn_nodes(Dn *dn) {
  for (auto *rdn = dn->rdn.next; rdn != nullptr;) {
    auto *next = rdn->next;
    for (auto *ava = rdn->ava.next; ava != nullptr;) {
      auto *next_ava = ava->next;
      std::free(ava);
      ava = next_ava;
    }
    std::free(rdn);
    rdn = next;
  }
  for (auto *ava = dn->rdn.ava.next; ava != nullptr;) {
    auto *next = ava->next;
    std::free(ava);
    ava = next;
  }
}

template uint32_t parse_distinguished_name<char>(const char *, uint32_t, kor_ahs_dn *);
template uint32_t parse_distinguished_name<kor_wchar>(const kor_wchar *, uint32_t, kor_ahs_dnW *);
template uint32_t parse_relative_name<char>(const char *, uint32_t, char *, kor_ahs_ava *);
template uint32_t parse_relative_name<kor_wchar>(const kor_wchar *, uint32_t, kor_wchar *,
                                                 kor_ahs_avaW *);
template void release_dn_nodes<kor_ahs_dn>(kor_ahs_dn *);
template void release_dn_nodes<kor_ahs_dnW>(kor_ahs_dnW *);
template void release_ava_nodes<kor_ahs_ava>(kor_ahs_ava *);
template void release_ava_nodes<kor_ahs_avaW>(kor_ahs_avaW *);

}  // namespace lyrdua::ahs
