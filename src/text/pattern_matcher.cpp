#include "text/pattern_matcher.h"

#include <cstdint>
#include <utility>

#include "text/utf.h"

namespace lumora::text {

namespace {

// The engine is a backtracking machine with its own stack of pending alternatives, so a
// long subject never deepens the C++ stack; only parentheses (while parsing and
// compiling) and lookaheads nested in each other recurse, and their depth is capped.
// Every cap below turns a pattern into "cannot run" instead of a hang or a crash.
constexpr std::size_t kMaxNesting = 50;           // parentheses inside one another
constexpr std::uint32_t kMaxCount = 100000;       // largest number in {n,m}
constexpr std::size_t kMaxProgram = 200000;       // instructions, after {n,m} copies
constexpr std::size_t kMaxPending = 400000;       // alternatives waiting on the stack
constexpr std::uint64_t kStepBudget = 5000000;    // work for one Match, all positions
constexpr std::uint32_t kUnbounded = UINT32_MAX;  // the missing upper bound of * + {n,}
constexpr std::uint32_t kNoGroup = UINT32_MAX;
constexpr std::size_t kUnset = SIZE_MAX;

constexpr std::string_view kQuoteMarker = "#引号";

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_';
}
// Space, tab, line feed, vertical tab, form feed and carriage return: the old engines'
// \s knows no other white space.
bool IsSpace(char32_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
char32_t FoldAscii(char32_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }
char32_t OtherAsciiCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
  if (c >= 'a' && c <= 'z') return c - ('a' - 'A');
  return c;
}
int HexValue(char32_t c) {
  if (IsDigit(c)) return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

enum Builtin : std::uint8_t {
  kDigit = 1,
  kNotDigit = 2,
  kWord = 4,
  kNotWord = 8,
  kSpace = 16,
  kNotSpace = 32,
};

std::uint8_t BuiltinFor(char32_t letter) {
  switch (letter) {
    case 'd':
      return kDigit;
    case 'D':
      return kNotDigit;
    case 'w':
      return kWord;
    case 'W':
      return kNotWord;
    case 's':
      return kSpace;
    case 'S':
      return kNotSpace;
    default:
      return 0;
  }
}

bool InBuiltins(std::uint8_t builtins, char32_t c) {
  return ((builtins & kDigit) && IsDigit(c)) || ((builtins & kNotDigit) && !IsDigit(c)) ||
         ((builtins & kWord) && IsWordChar(c)) || ((builtins & kNotWord) && !IsWordChar(c)) ||
         ((builtins & kSpace) && IsSpace(c)) || ((builtins & kNotSpace) && !IsSpace(c));
}

struct CharClass {
  std::vector<std::pair<char32_t, char32_t>> ranges;
  std::uint8_t builtins = 0;
  bool negated = false;

  bool InRanges(char32_t c) const {
    for (const auto& [low, high] : ranges)
      if (c >= low && c <= high) return true;
    return false;
  }
  bool Contains(char32_t c, bool ignoreCase) const {
    const bool in = InBuiltins(builtins, c) || InRanges(c) ||
                    (ignoreCase && OtherAsciiCase(c) != c && InRanges(OtherAsciiCase(c)));
    return in != negated;
  }
};

struct Node {
  enum class Kind {
    kEmpty,
    kChar,
    kAny,
    kClass,
    kLineStart,
    kLineEnd,
    kWordBoundary,
    kNotWordBoundary,
    kBackref,
    kGroup,
    kLook,
    kSequence,
    kAlternation,
    kRepeat,
  };
  Kind kind = Kind::kEmpty;
  char32_t ch = 0;
  std::uint32_t index = 0;  // class, capture group (kNoGroup when not capturing), backref
  std::uint32_t min = 0, max = 0;
  bool greedy = true;
  bool negative = false;  // a (?! ) lookahead
  std::vector<Node> children;
};

bool IsAssertion(const Node& node) {
  return node.kind == Node::Kind::kLineStart || node.kind == Node::Kind::kLineEnd ||
         node.kind == Node::Kind::kWordBoundary || node.kind == Node::Kind::kNotWordBoundary;
}

bool IsSingleChar(const Node& node) {
  return node.kind == Node::Kind::kChar || node.kind == Node::Kind::kAny ||
         node.kind == Node::Kind::kClass;
}

bool CanMatchEmpty(const Node& node) {
  switch (node.kind) {
    case Node::Kind::kChar:
    case Node::Kind::kAny:
    case Node::Kind::kClass:
      return false;
    case Node::Kind::kGroup:
      return CanMatchEmpty(node.children[0]);
    case Node::Kind::kSequence:
      for (const Node& child : node.children)
        if (!CanMatchEmpty(child)) return false;
      return true;
    case Node::Kind::kAlternation:
      for (const Node& child : node.children)
        if (CanMatchEmpty(child)) return true;
      return false;
    case Node::Kind::kRepeat:
      return node.min == 0 || CanMatchEmpty(node.children[0]);
    default:
      return true;  // assertions, lookaheads, back-references, the empty pattern
  }
}

class Parser {
 public:
  explicit Parser(std::string_view pattern) {
    for (std::size_t at = 0; at < pattern.size();) {
      std::size_t length = 1;
      text_.push_back(text::DecodeUtf8At(pattern, at, &length));
      at += length;
    }
  }

  bool Parse(Node* root, std::vector<CharClass>* classes, std::uint32_t* groupCount) {
    classes_ = classes;
    if (!ParseAlternation(root, 0) || at_ != text_.size()) return false;
    ResolveBackrefs(root);
    *groupCount = groupCount_;
    return true;
  }

 private:
  enum class Braces { kNone, kValid, kInvalid };

  bool AtEnd() const { return at_ >= text_.size(); }
  char32_t Peek(std::size_t ahead = 0) const {
    return at_ + ahead < text_.size() ? text_[at_ + ahead] : 0;
  }

  bool ParseAlternation(Node* out, std::size_t depth) {
    Node first;
    if (!ParseSequence(&first, depth)) return false;
    if (Peek() != '|' || AtEnd()) {
      *out = std::move(first);
      return true;
    }
    out->kind = Node::Kind::kAlternation;
    out->children.push_back(std::move(first));
    while (!AtEnd() && Peek() == '|') {
      ++at_;
      Node next;
      if (!ParseSequence(&next, depth)) return false;
      out->children.push_back(std::move(next));
    }
    return true;
  }

  bool ParseSequence(Node* out, std::size_t depth) {
    out->kind = Node::Kind::kSequence;
    while (!AtEnd() && Peek() != '|' && Peek() != ')') {
      Node atom;
      if (!ParseAtom(&atom, depth)) return false;
      std::uint32_t min = 0, max = 0;
      bool quantified = true;
      switch (Peek()) {
        case '*':
          min = 0, max = kUnbounded, ++at_;
          break;
        case '+':
          min = 1, max = kUnbounded, ++at_;
          break;
        case '?':
          min = 0, max = 1, ++at_;
          break;
        case '{': {
          const Braces braces = ReadBraces(&min, &max);
          if (braces == Braces::kInvalid) return false;
          quantified = braces == Braces::kValid;
          break;
        }
        default:
          quantified = false;
      }
      if (quantified) {
        if (IsAssertion(atom)) return false;
        Node repeat;
        repeat.kind = Node::Kind::kRepeat;
        repeat.min = min;
        repeat.max = max;
        if (!AtEnd() && Peek() == '?') {
          repeat.greedy = false;
          ++at_;
        }
        repeat.children.push_back(std::move(atom));
        atom = std::move(repeat);
      }
      out->children.push_back(std::move(atom));
    }
    if (out->children.size() == 1) {
      Node only = std::move(out->children[0]);
      *out = std::move(only);
    }
    return true;
  }

  // Reads {n}, {n,} or {n,m} at the cursor and moves past it. A brace that does not
  // open one of these forms is an ordinary character, as in the old engines.
  Braces ReadBraces(std::uint32_t* min, std::uint32_t* max) {
    std::size_t at = at_ + 1;
    auto readNumber = [&](std::uint32_t* value) {
      const std::size_t start = at;
      std::uint64_t number = 0;
      while (at < text_.size() && IsDigit(text_[at])) {
        number = number * 10 + (text_[at] - '0');
        if (number > kMaxCount) number = kMaxCount + 1;
        ++at;
      }
      *value = static_cast<std::uint32_t>(number);
      return at > start;
    };
    if (!readNumber(min)) return Braces::kNone;
    *max = *min;
    if (at < text_.size() && text_[at] == ',') {
      ++at;
      if (!readNumber(max)) *max = kUnbounded;
    }
    if (at >= text_.size() || text_[at] != '}') return Braces::kNone;
    at_ = at + 1;
    if (*min > kMaxCount || (*max != kUnbounded && (*max > kMaxCount || *max < *min)))
      return Braces::kInvalid;
    return Braces::kValid;
  }

  bool ParseAtom(Node* out, std::size_t depth) {
    const char32_t c = text_[at_++];
    switch (c) {
      case '(':
        return ParseGroup(out, depth);
      case '[':
        return ParseClass(out);
      case '.':
        out->kind = Node::Kind::kAny;
        return true;
      case '^':
        out->kind = Node::Kind::kLineStart;
        return true;
      case '$':
        out->kind = Node::Kind::kLineEnd;
        return true;
      case '\\':
        return ParseEscape(out);
      case '*':
      case '+':
      case '?':
        return false;  // nothing to repeat
      case '{': {
        std::uint32_t min = 0, max = 0;
        --at_;
        if (ReadBraces(&min, &max) != Braces::kNone) return false;  // a count of nothing
        ++at_;
        break;
      }
      default:
        break;
    }
    out->kind = Node::Kind::kChar;
    out->ch = c;
    return true;
  }

  bool ParseGroup(Node* out, std::size_t depth) {
    if (depth >= kMaxNesting) return false;
    out->kind = Node::Kind::kGroup;
    out->index = kNoGroup;
    if (Peek() == '?' && !AtEnd()) {
      const char32_t kind = Peek(1);
      if (kind == '=' || kind == '!') {
        out->kind = Node::Kind::kLook;
        out->negative = kind == '!';
      } else if (kind != ':') {
        return false;
      }
      at_ += 2;
    } else {
      out->index = ++groupCount_;
    }
    Node inner;
    if (!ParseAlternation(&inner, depth + 1)) return false;
    if (AtEnd() || Peek() != ')') return false;
    ++at_;
    out->children.push_back(std::move(inner));
    return true;
  }

  // The escapes that stand for one character, in and out of classes.
  bool ReadCharEscape(char32_t letter, char32_t* out) {
    switch (letter) {
      case 'n':
        *out = '\n';
        return true;
      case 'r':
        *out = '\r';
        return true;
      case 't':
        *out = '\t';
        return true;
      case 'f':
        *out = '\f';
        return true;
      case 'v':
        *out = '\v';
        return true;
      case '0':
        *out = 0;
        return true;
      case 'x':
      case 'u': {
        const std::size_t digits = letter == 'x' ? 2 : 4;
        char32_t value = 0;
        for (std::size_t i = 0; i < digits; ++i) {
          const int digit = HexValue(Peek(i));
          if (digit < 0) {
            *out = letter;  // \x or \u without its digits is the letter itself
            return true;
          }
          value = value * 16 + static_cast<char32_t>(digit);
        }
        at_ += digits;
        *out = value;
        return true;
      }
      case 'c': {
        const char32_t control = Peek();
        if (!AtEnd() &&
            ((control >= 'a' && control <= 'z') || (control >= 'A' && control <= 'Z'))) {
          ++at_;
          *out = control % 32;
        } else {
          *out = 'c';
        }
        return true;
      }
      default:
        return false;
    }
  }

  bool ParseEscape(Node* out) {
    if (AtEnd()) return false;
    const char32_t c = text_[at_++];
    if (const std::uint8_t builtin = BuiltinFor(c)) {
      CharClass cls;
      cls.builtins = builtin;
      out->kind = Node::Kind::kClass;
      out->index = static_cast<std::uint32_t>(classes_->size());
      classes_->push_back(std::move(cls));
      return true;
    }
    if (c == 'b' || c == 'B') {
      out->kind = c == 'b' ? Node::Kind::kWordBoundary : Node::Kind::kNotWordBoundary;
      return true;
    }
    if (c >= '1' && c <= '9') {
      out->kind = Node::Kind::kBackref;
      out->index = c - '0';
      return true;
    }
    out->kind = Node::Kind::kChar;
    if (!ReadCharEscape(c, &out->ch)) out->ch = c;  // an escaped punctuation mark
    return true;
  }

  struct ClassItem {
    std::uint8_t builtin = 0;
    char32_t ch = 0;
  };

  bool ReadClassItem(ClassItem* item) {
    const char32_t c = text_[at_++];
    if (c != '\\') {
      item->ch = c;
      return true;
    }
    if (AtEnd()) return false;
    const char32_t letter = text_[at_++];
    if ((item->builtin = BuiltinFor(letter)) != 0) return true;
    if (letter == 'b') {
      item->ch = '\b';
    } else if (!ReadCharEscape(letter, &item->ch)) {
      item->ch = letter;
    }
    return true;
  }

  static void AddItem(CharClass* cls, const ClassItem& item) {
    if (item.builtin)
      cls->builtins |= item.builtin;
    else
      cls->ranges.emplace_back(item.ch, item.ch);
  }

  // "[]" matches nothing and "[^]" any character, as in the ECMAScript engines; a "-"
  // next to \d, \w or \s is an ordinary character.
  bool ParseClass(Node* out) {
    CharClass cls;
    if (!AtEnd() && Peek() == '^') {
      cls.negated = true;
      ++at_;
    }
    for (;;) {
      if (AtEnd()) return false;
      if (Peek() == ']') {
        ++at_;
        break;
      }
      ClassItem low;
      if (!ReadClassItem(&low)) return false;
      if (at_ + 1 < text_.size() && Peek() == '-' && Peek(1) != ']') {
        ++at_;
        ClassItem high;
        if (!ReadClassItem(&high)) return false;
        if (low.builtin || high.builtin) {
          AddItem(&cls, low);
          AddItem(&cls, ClassItem{0, '-'});
          AddItem(&cls, high);
        } else if (low.ch > high.ch) {
          return false;
        } else {
          cls.ranges.emplace_back(low.ch, high.ch);
        }
      } else {
        AddItem(&cls, low);
      }
    }
    out->kind = Node::Kind::kClass;
    out->index = static_cast<std::uint32_t>(classes_->size());
    classes_->push_back(std::move(cls));
    return true;
  }

  // \N names group N when the pattern has that many groups; otherwise the old engines
  // read it as an octal character code (\1 to \7) or the digit itself (\8, \9).
  void ResolveBackrefs(Node* node) {
    if (node->kind == Node::Kind::kBackref && node->index > groupCount_) {
      node->kind = Node::Kind::kChar;
      node->ch = node->index <= 7 ? node->index : '0' + node->index;
    }
    for (Node& child : node->children) ResolveBackrefs(&child);
  }

  std::u32string text_;
  std::size_t at_ = 0;
  std::uint32_t groupCount_ = 0;
  std::vector<CharClass>* classes_ = nullptr;
};

enum class Op : std::uint8_t {
  kChar,
  kAny,
  kClass,
  kRepeat,  // a run of kChar, kAny or kClass, held in `unit`
  kSplit,   // go on at a, keep b as the alternative
  kJump,
  kSave,           // slot a = position
  kCheckProgress,  // fails when the position still equals slot a
  kLineStart,
  kLineEnd,
  kWordBoundary,
  kNotWordBoundary,
  kBackref,
  kLook,  // the lookahead body follows; a is the instruction after its kLookEnd
  kLookEnd,
  kMatch,
};

struct Inst {
  Op op = Op::kMatch;
  Op unit = Op::kChar;
  bool flag = false;  // greedy for kRepeat, negative for kLook
  char32_t ch = 0;
  std::uint32_t a = 0, b = 0;
  std::uint32_t min = 0, max = 0;
};

struct Program {
  std::vector<Inst> code;
  std::vector<CharClass> classes;
  std::uint32_t groupCount = 0;
  std::uint32_t slotCount = 0;
};

class Compiler {
 public:
  Compiler(Program* program, bool ignoreCase) : program_(program), ignoreCase_(ignoreCase) {
    program_->slotCount = 2 * (program_->groupCount + 1);
  }

  bool Compile(const Node& root) {
    if (!Emit(root)) return false;
    Add(Inst{.op = Op::kMatch});
    return true;
  }

 private:
  std::uint32_t Here() const { return static_cast<std::uint32_t>(program_->code.size()); }
  void Add(Inst inst) { program_->code.push_back(inst); }

  Inst Unit(const Node& node) const {
    Inst inst;
    switch (node.kind) {
      case Node::Kind::kChar:
        inst.op = Op::kChar;
        inst.ch = ignoreCase_ ? FoldAscii(node.ch) : node.ch;
        break;
      case Node::Kind::kAny:
        inst.op = Op::kAny;
        break;
      default:
        inst.op = Op::kClass;
        inst.a = node.index;
        break;
    }
    inst.unit = inst.op;
    return inst;
  }

  bool Emit(const Node& node) {
    // Counting calls as well as instructions stops {n} over an empty body, which adds
    // no instructions however often it is copied.
    if (program_->code.size() > kMaxProgram || ++emitCalls_ > kMaxProgram) return false;
    switch (node.kind) {
      case Node::Kind::kEmpty:
        return true;
      case Node::Kind::kChar:
      case Node::Kind::kAny:
      case Node::Kind::kClass:
        Add(Unit(node));
        return true;
      case Node::Kind::kLineStart:
        Add(Inst{.op = Op::kLineStart});
        return true;
      case Node::Kind::kLineEnd:
        Add(Inst{.op = Op::kLineEnd});
        return true;
      case Node::Kind::kWordBoundary:
        Add(Inst{.op = Op::kWordBoundary});
        return true;
      case Node::Kind::kNotWordBoundary:
        Add(Inst{.op = Op::kNotWordBoundary});
        return true;
      case Node::Kind::kBackref:
        Add(Inst{.op = Op::kBackref, .a = node.index});
        return true;
      case Node::Kind::kGroup:
        if (node.index == kNoGroup) return Emit(node.children[0]);
        Add(Inst{.op = Op::kSave, .a = 2 * node.index});
        if (!Emit(node.children[0])) return false;
        Add(Inst{.op = Op::kSave, .a = 2 * node.index + 1});
        return true;
      case Node::Kind::kLook: {
        const std::uint32_t look = Here();
        Add(Inst{.op = Op::kLook, .flag = node.negative});
        if (!Emit(node.children[0])) return false;
        Add(Inst{.op = Op::kLookEnd});
        program_->code[look].a = Here();
        return true;
      }
      case Node::Kind::kSequence:
        for (const Node& child : node.children)
          if (!Emit(child)) return false;
        return true;
      case Node::Kind::kAlternation:
        return EmitAlternation(node);
      case Node::Kind::kRepeat:
        return EmitRepeat(node);
    }
    return false;
  }

  bool EmitAlternation(const Node& node) {
    std::vector<std::uint32_t> exits;
    for (std::size_t i = 0; i < node.children.size(); ++i) {
      const bool last = i + 1 == node.children.size();
      const std::uint32_t split = Here();
      if (!last) Add(Inst{.op = Op::kSplit, .a = split + 1});
      if (!Emit(node.children[i])) return false;
      if (!last) {
        exits.push_back(Here());
        Add(Inst{.op = Op::kJump});
        program_->code[split].b = Here();
      }
    }
    for (const std::uint32_t exit : exits) program_->code[exit].a = Here();
    return true;
  }

  void SetSplit(std::uint32_t split, std::uint32_t body, std::uint32_t skip, bool greedy) {
    program_->code[split].a = greedy ? body : skip;
    program_->code[split].b = greedy ? skip : body;
  }

  bool EmitRepeat(const Node& node) {
    const Node& body = node.children[0];
    if (IsSingleChar(body)) {
      // One instruction that runs along the subject: a greedy star over a long line
      // leaves a single pending entry, not one per character.
      Inst inst = Unit(body);
      inst.op = Op::kRepeat;
      inst.flag = node.greedy;
      inst.min = node.min;
      inst.max = node.max;
      Add(inst);
      return true;
    }
    for (std::uint32_t i = 0; i < node.min; ++i)
      if (!Emit(body)) return false;
    if (node.max == kUnbounded) {
      // An iteration that matches nothing must not go round again, or (a*)* would
      // loop for ever at one place.
      const bool mayBeEmpty = CanMatchEmpty(body);
      const std::uint32_t mark = mayBeEmpty ? program_->slotCount++ : 0;
      const std::uint32_t split = Here();
      Add(Inst{.op = Op::kSplit});
      const std::uint32_t start = Here();
      if (mayBeEmpty) Add(Inst{.op = Op::kSave, .a = mark});
      if (!Emit(body)) return false;
      if (mayBeEmpty) Add(Inst{.op = Op::kCheckProgress, .a = mark});
      Add(Inst{.op = Op::kJump, .a = split});
      SetSplit(split, start, Here(), node.greedy);
      return true;
    }
    std::vector<std::uint32_t> splits;
    for (std::uint32_t i = node.min; i < node.max; ++i) {
      splits.push_back(Here());
      Add(Inst{.op = Op::kSplit});
      if (!Emit(body)) return false;
    }
    for (const std::uint32_t split : splits) SetSplit(split, split + 1, Here(), node.greedy);
    return program_->code.size() <= kMaxProgram;
  }

  Program* program_;
  bool ignoreCase_;
  std::size_t emitCalls_ = 0;
};

class Machine {
 public:
  Machine(const Program& program, std::string_view subject, bool ignoreCase, bool multiline)
      : program_(program),
        subject_(subject),
        ignoreCase_(ignoreCase),
        multiline_(multiline),
        slots_(program.slotCount, kUnset) {}

  // A match that begins exactly at `start`; on success *end and the groups are set.
  bool MatchAt(std::size_t start, std::size_t* end) {
    slots_.assign(program_.slotCount, kUnset);
    pending_.clear();
    return Run(0, start, 0, end);
  }

  bool Aborted() const { return aborted_; }

  std::vector<std::string> Groups() const {
    std::vector<std::string> groups;
    for (std::uint32_t g = 1; g <= program_.groupCount; ++g) {
      const std::size_t begin = slots_[2 * g], end = slots_[2 * g + 1];
      groups.push_back(begin == kUnset || end == kUnset || end < begin
                           ? std::string()
                           : std::string(subject_.substr(begin, end - begin)));
    }
    return groups;
  }

 private:
  struct Pending {
    enum class Kind : std::uint8_t { kBranch, kRestore, kGiveBack, kTakeMore };
    Kind kind;
    std::uint32_t pc;   // where to go on; the slot of kRestore
    std::size_t pos;    // the position; the old slot value of kRestore
    std::size_t extra;  // kGiveBack: the lowest end; kTakeMore: characters taken so far
  };

  void Push(Pending::Kind kind, std::uint32_t pc, std::size_t pos, std::size_t extra) {
    if (pending_.size() >= kMaxPending) {
      aborted_ = true;
      return;
    }
    pending_.push_back(Pending{kind, pc, pos, extra});
  }

  bool Spend(std::uint64_t steps) {
    steps_ += steps;
    if (steps_ > kStepBudget) aborted_ = true;
    return !aborted_;
  }

  bool MatchUnit(const Inst& inst, std::size_t pos, std::size_t* length) const {
    if (pos >= subject_.size()) return false;
    const char32_t c = text::DecodeUtf8At(subject_, pos, length);
    switch (inst.unit) {
      case Op::kChar:
        return (ignoreCase_ ? FoldAscii(c) : c) == inst.ch;
      case Op::kAny:
        return c != '\n';
      default:
        return program_.classes[inst.a].Contains(c, ignoreCase_);
    }
  }

  // The start of the character that ends at pos. Walking back over continuation bytes
  // agrees with the forward walk except where a stray byte stands alone.
  std::size_t PreviousCharStart(std::size_t pos) const {
    std::size_t start = pos - 1;
    for (int back = 0; back < 3 && start > 0; ++back) {
      if ((static_cast<unsigned char>(subject_[start]) & 0xC0) != 0x80) break;
      --start;
    }
    return text::Utf8CharLength(subject_, start) == pos - start ? start : pos - 1;
  }

  bool AtWordBoundary(std::size_t pos) const {
    // Word characters are ASCII, so the neighbouring bytes decide.
    const bool before = pos > 0 && IsWordChar(static_cast<unsigned char>(subject_[pos - 1]));
    const bool after =
        pos < subject_.size() && IsWordChar(static_cast<unsigned char>(subject_[pos]));
    return before != after;
  }

  bool MatchBackref(std::uint32_t group, std::size_t* pos) {
    const std::size_t begin = slots_[2 * group], end = slots_[2 * group + 1];
    if (begin == kUnset || end == kUnset || end <= begin) return true;
    // Character by character, so that the position stays on a character start.
    std::size_t at = *pos;
    for (std::size_t from = begin; from < end;) {
      if (at >= subject_.size()) return false;
      std::size_t wantLength = 1, haveLength = 1;
      const char32_t want = text::DecodeUtf8At(subject_, from, &wantLength);
      const char32_t have = text::DecodeUtf8At(subject_, at, &haveLength);
      if (ignoreCase_ ? FoldAscii(want) != FoldAscii(have) : want != have) return false;
      from += wantLength;
      at += haveLength;
    }
    Spend(end - begin);
    *pos = at;
    return true;
  }

  bool EnterRepeat(std::uint32_t pc, std::size_t* pos) {
    const Inst& inst = program_.code[pc];
    std::size_t at = *pos, length = 1;
    std::uint32_t count = 0;
    for (; count < inst.min; ++count) {
      if (!MatchUnit(inst, at, &length)) return false;
      at += length;
    }
    if (!inst.flag) {
      if (count < inst.max) Push(Pending::Kind::kTakeMore, pc, at, count);
    } else {
      const std::size_t floor = at;
      for (; count < inst.max && MatchUnit(inst, at, &length); ++count) at += length;
      if (at > floor) Push(Pending::Kind::kGiveBack, pc + 1, at, floor);
    }
    Spend(count);
    *pos = at;
    return true;
  }

  // A lookahead is decided once: its own alternatives are dropped when it is done, and
  // what it captured is undone only when the match backtracks past it.
  bool RunLook(const Inst& inst, std::uint32_t bodyPc, std::size_t pos) {
    const std::vector<std::size_t> saved = slots_;
    const std::size_t base = pending_.size();
    std::size_t ignored = 0;
    const bool found = Run(bodyPc, pos, base, &ignored);
    pending_.resize(base);
    if (aborted_) return false;
    if (found && !inst.flag) {
      for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
        if (slots_[slot] != saved[slot]) Push(Pending::Kind::kRestore, slot, saved[slot], 0);
      return true;
    }
    slots_ = saved;
    return !found && inst.flag;
  }

  // Pops pending entries down to `base` until one offers a way on.
  bool Backtrack(std::size_t base, std::uint32_t* pc, std::size_t* pos) {
    while (pending_.size() > base) {
      if (!Spend(1)) return false;
      const Pending top = pending_.back();
      pending_.pop_back();
      switch (top.kind) {
        case Pending::Kind::kRestore:
          slots_[top.pc] = top.pos;
          break;
        case Pending::Kind::kBranch:
          *pc = top.pc;
          *pos = top.pos;
          return true;
        case Pending::Kind::kGiveBack: {
          const std::size_t back = PreviousCharStart(top.pos);
          if (back > top.extra) Push(Pending::Kind::kGiveBack, top.pc, back, top.extra);
          *pc = top.pc;
          *pos = back;
          return true;
        }
        case Pending::Kind::kTakeMore: {
          const Inst& inst = program_.code[top.pc];
          std::size_t length = 1;
          if (top.extra < inst.max && MatchUnit(inst, top.pos, &length)) {
            Push(Pending::Kind::kTakeMore, top.pc, top.pos + length, top.extra + 1);
            *pc = top.pc + 1;
            *pos = top.pos + length;
            return true;
          }
          break;
        }
      }
    }
    return false;
  }

  bool Run(std::uint32_t pc, std::size_t pos, std::size_t base, std::size_t* end) {
    for (;;) {
      if (!Spend(1)) return false;
      const Inst& inst = program_.code[pc];
      bool ok = true;
      switch (inst.op) {
        case Op::kChar:
        case Op::kAny:
        case Op::kClass: {
          std::size_t length = 1;
          ok = MatchUnit(inst, pos, &length);
          pos += length;
          ++pc;
          break;
        }
        case Op::kRepeat:
          ok = EnterRepeat(pc, &pos);
          ++pc;
          break;
        case Op::kSplit:
          Push(Pending::Kind::kBranch, inst.b, pos, 0);
          pc = inst.a;
          break;
        case Op::kJump:
          pc = inst.a;
          break;
        case Op::kSave:
          Push(Pending::Kind::kRestore, inst.a, slots_[inst.a], 0);
          slots_[inst.a] = pos;
          ++pc;
          break;
        case Op::kCheckProgress:
          ok = slots_[inst.a] != pos;
          ++pc;
          break;
        case Op::kLineStart:
          ok = pos == 0 || (multiline_ && subject_[pos - 1] == '\n');
          ++pc;
          break;
        case Op::kLineEnd:
          ok = pos == subject_.size() || (multiline_ && subject_[pos] == '\n');
          ++pc;
          break;
        case Op::kWordBoundary:
        case Op::kNotWordBoundary:
          ok = AtWordBoundary(pos) == (inst.op == Op::kWordBoundary);
          ++pc;
          break;
        case Op::kBackref:
          ok = MatchBackref(inst.a, &pos);
          ++pc;
          break;
        case Op::kLook:
          ok = RunLook(inst, pc + 1, pos);
          pc = inst.a;
          break;
        case Op::kLookEnd:
        case Op::kMatch:
          *end = pos;
          return true;
      }
      if (aborted_) return false;
      if (!ok && !Backtrack(base, &pc, &pos)) return false;
    }
  }

  const Program& program_;
  std::string_view subject_;
  bool ignoreCase_;
  bool multiline_;
  std::vector<std::size_t> slots_;
  std::vector<Pending> pending_;
  std::uint64_t steps_ = 0;
  bool aborted_ = false;
};

std::string ReplaceQuoteMarkers(std::string_view pattern) {
  std::string out;
  for (std::size_t at = 0; at < pattern.size();) {
    if (pattern.substr(at, kQuoteMarker.size()) == kQuoteMarker) {
      out += '"';
      at += kQuoteMarker.size();
    } else {
      out += pattern[at++];
    }
  }
  return out;
}

}  // namespace

bool PatternMatcher::Match(std::string_view pattern, std::string_view subject, Options options) {
  subject_.assign(subject);
  matches_.clear();
  const std::string source =
      options.quoteMarker ? ReplaceQuoteMarkers(pattern) : std::string(pattern);
  const bool ignoreCase = !options.caseSensitive;

  Program program;
  Node root;
  if (!Parser(source).Parse(&root, &program.classes, &program.groupCount)) return false;
  if (!Compiler(&program, ignoreCase).Compile(root)) return false;

  Machine machine(program, subject_, ignoreCase, options.multiline);
  std::vector<Found> found;
  const std::size_t size = subject_.size();
  std::size_t from = 0;
  while (from <= size) {
    std::size_t begin = from, end = 0;
    bool hit = false;
    for (;;) {
      if (machine.MatchAt(begin, &end)) {
        hit = true;
        break;
      }
      if (machine.Aborted()) return false;
      if (begin == size) break;
      begin += text::Utf8CharLength(subject_, begin);
    }
    if (!hit) break;
    found.push_back(Found{begin, end, machine.Groups()});
    if (!options.global) break;
    // After an empty match the search goes on one character later, or it would find
    // the same empty match again.
    if (end > begin) {
      from = end;
    } else if (end < size) {
      from = end + text::Utf8CharLength(subject_, end);
    } else {
      break;
    }
  }
  matches_ = std::move(found);
  return true;
}

std::string PatternMatcher::Value(int n) const {
  if (n < 1 || n > Count()) return {};
  const Found& match = matches_[n - 1];
  return subject_.substr(match.begin, match.end - match.begin);
}

std::string PatternMatcher::Replace(std::string_view replacement) const {
  std::string out;
  std::size_t copied = 0;
  for (const Found& match : matches_) {
    out.append(subject_, copied, match.begin - copied);
    for (std::size_t at = 0; at < replacement.size(); ++at) {
      const char c = replacement[at];
      const char next = at + 1 < replacement.size() ? replacement[at + 1] : '\0';
      if (c == '$' && next == '$') {
        out += '$';
        ++at;
      } else if (c == '$' && next == '&') {
        out.append(subject_, match.begin, match.end - match.begin);
        ++at;
      } else if (c == '$' && next >= '1' && next <= '9' &&
                 static_cast<std::size_t>(next - '0') <= match.groups.size()) {
        out += match.groups[next - '1'];
        ++at;
      } else {
        out += c;  // a "$" that starts none of these stays as written
      }
    }
    copied = match.end;
  }
  out.append(subject_, copied);
  return out;
}

std::string EscapeForPattern(std::string_view literal) {
  static constexpr std::string_view kSpecial = "\\()[]{}?.|+*^$";
  std::string out;
  for (const char c : literal) {
    if (c == '#') {
      // Written as a code so that no "#引号" survives for the quote-marker option to
      // turn into a double quote.
      out += "\\x23";
    } else {
      if (kSpecial.find(c) != std::string_view::npos) out += '\\';
      out += c;
    }
  }
  return out;
}

}  // namespace lumora::text
