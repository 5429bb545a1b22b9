#include "framework/core/FormReader.h"

#include <cctype>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

enum class TTokenKind { End, Ident, Number, Text, Symbol, Bytes };

struct TToken {
  TTokenKind kind = TTokenKind::End;
  std::string text;  // identifier, decoded string, symbol, or raw bytes
  int64_t number = 0;
  int line = 1;
};

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Splits a description into tokens; strings joined by + and their #nn characters arrive as
// one decoded string, a {...} block as its bytes.
class TLexer {
public:
  explicit TLexer(std::string_view text) : text_(text) {}

  const TToken& Peek() {
    if (!peeked_) {
      next_ = Scan();
      peeked_ = true;
    }
    return next_;
  }
  TToken Next() {
    Peek();
    peeked_ = false;
    return next_;
  }

private:
  char At(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

  void SkipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos_;
      } else if (c == '/' && At(pos_ + 1) == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        return;
      }
    }
  }

  [[noreturn]] void Fail(const std::string& message) const { throw EParserError(line_, message); }

  TToken Scan() {
    SkipBlanks();
    TToken t;
    t.line = line_;
    if (pos_ >= text_.size()) return t;
    char c = text_[pos_];
    if (IsIdentStart(c)) {
      size_t start = pos_;
      while (IsIdentChar(At(pos_))) ++pos_;
      t.kind = TTokenKind::Ident;
      t.text = std::string(text_.substr(start, pos_ - start));
    } else if (IsDigit(c) || c == '$' || (c == '-' && (IsDigit(At(pos_ + 1)) || At(pos_ + 1) == '$'))) {
      ScanNumber(t);
    } else if (c == '\'' || c == '#') {
      ScanString(t);
    } else if (c == '{') {
      ScanBytes(t);
    } else if (std::string_view("=:.,[]()<>").find(c) != std::string_view::npos) {
      t.kind = TTokenKind::Symbol;
      t.text = std::string(1, c);
      ++pos_;
    } else {
      Fail(std::string("Unexpected character '") + c + "'");
    }
    return t;
  }

  void ScanNumber(TToken& t) {
    bool negative = text_[pos_] == '-';
    if (negative) ++pos_;
    int base = 10;
    if (At(pos_) == '$') {
      base = 16;
      ++pos_;
    }
    uint64_t value = 0;
    size_t digits = 0;
    for (int d; (d = base == 16 ? HexValue(At(pos_)) : (IsDigit(At(pos_)) ? At(pos_) - '0' : -1)) >= 0; ++pos_) {
      if (++digits > 18) Fail("Number too large");
      value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (digits == 0 || IsIdentChar(At(pos_)) || At(pos_) == '.') Fail("Invalid number");
    t.kind = TTokenKind::Number;
    t.number = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
  }

  void ScanString(TToken& t) {
    t.kind = TTokenKind::Text;
    for (;;) {
      ScanStringPieces(t.text);
      // A + continues the string, possibly on the next line.
      size_t save = pos_;
      int saveLine = line_;
      SkipBlanks();
      if (At(pos_) == '+') {
        ++pos_;
        SkipBlanks();
        if (At(pos_) == '\'' || At(pos_) == '#') continue;
        Fail("String expected after +");
      }
      pos_ = save;
      line_ = saveLine;
      return;
    }
  }

  void ScanStringPieces(std::string& out) {
    while (At(pos_) == '\'' || At(pos_) == '#') {
      if (text_[pos_] == '#') {
        ++pos_;
        ScanCharCode(out);
        continue;
      }
      ++pos_;
      for (;;) {
        if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r') Fail("Unterminated string");
        char ch = text_[pos_++];
        if (ch != '\'') {
          out += ch;
        } else if (At(pos_) == '\'') {
          out += '\'';
          ++pos_;
        } else {
          break;
        }
      }
    }
  }

  void ScanCharCode(std::string& out) {
    bool hex = At(pos_) == '$';
    if (hex) ++pos_;
    int value = 0;
    size_t digits = 0;
    for (int d; (d = hex ? HexValue(At(pos_)) : (IsDigit(At(pos_)) ? At(pos_) - '0' : -1)) >= 0; ++pos_, ++digits) {
      value = value * (hex ? 16 : 10) + d;
      if (value > 255) Fail("Character code out of range");
    }
    if (digits == 0) Fail("Character code expected after #");
    out += static_cast<char>(value);
  }

  void ScanBytes(TToken& t) {
    ++pos_;
    t.kind = TTokenKind::Bytes;
    int high = -1;
    for (;;) {
      SkipBlanks();
      if (pos_ >= text_.size()) Fail("Unterminated binary data");
      char c = text_[pos_++];
      if (c == '}') break;
      int d = HexValue(c);
      if (d < 0) Fail("Invalid hex digit in binary data");
      if (high < 0) {
        high = d;
      } else {
        t.text += static_cast<char>(high * 16 + d);
        high = -1;
      }
    }
    if (high >= 0) Fail("Odd number of hex digits in binary data");
  }

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
  TToken next_;
  bool peeked_ = false;
};

struct TFixup {
  TObject* instance;
  const TPropInfo* prop;
  std::string name;
  int line;
};

const char* TokenName(const TToken& t) {
  switch (t.kind) {
    case TTokenKind::End: return "end of text";
    case TTokenKind::Ident: return "identifier";
    case TTokenKind::Number: return "number";
    case TTokenKind::Text: return "string";
    case TTokenKind::Symbol: return "symbol";
    case TTokenKind::Bytes: return "binary data";
  }
  return "token";
}

bool MatchesClass(const TClassInfo& info, std::string_view name) {
  for (const TClassInfo* c = &info; c; c = c->Parent())
    if (SameText(c->Name(), name)) return true;
  return false;
}

// Reads one description into a root, remembering what it created so that a failed read can
// take it back.
class TDescriptionReader {
public:
  TDescriptionReader(std::string_view text, TComponent& root) : lexer_(text), root_(root) {}

  void Read() {
    try {
      ReadRoot();
      ResolveFixups();
    } catch (...) {
      Abandon();
      throw;
    }
    for (TComponent* c : created_) c->EndReading();
    root_.EndReading();
    for (TComponent* c : created_) c->Loaded();
    root_.Loaded();
  }

private:
  [[noreturn]] static void Fail(int line, const std::string& message) { throw EParserError(line, message); }

  void Expect(const char* symbol) {
    TToken t = lexer_.Next();
    if (t.kind != TTokenKind::Symbol || t.text != symbol)
      Fail(t.line, std::string("'") + symbol + "' expected but " + TokenName(t) + " found");
  }

  TToken ExpectIdent() {
    TToken t = lexer_.Next();
    if (t.kind != TTokenKind::Ident) Fail(t.line, std::string("Identifier expected but ") + TokenName(t) + " found");
    return t;
  }

  bool PeekKeyword(const char* word) {
    const TToken& t = lexer_.Peek();
    return t.kind == TTokenKind::Ident && SameText(t.text, word);
  }

  bool PeekSymbol(const char* symbol) {
    const TToken& t = lexer_.Peek();
    return t.kind == TTokenKind::Symbol && t.text == symbol;
  }

  // "object Name: TClass" (the name may be left out).
  struct THeader {
    std::string name;
    TToken cls;
  };
  THeader ReadHeader() {
    TToken keyword = ExpectIdent();
    if (!SameText(keyword.text, "object")) Fail(keyword.line, "'object' expected");
    TToken first = ExpectIdent();
    if (!PeekSymbol(":")) return {std::string(), first};
    lexer_.Next();
    return {first.text, ExpectIdent()};
  }

  void ReadRoot() {
    const THeader header = ReadHeader();
    const std::string& name = header.name;
    const TToken& cls = header.cls;
    if (!MatchesClass(root_.ClassInfo(), cls.text))
      Fail(cls.line, "Description of class " + cls.text + " cannot be read into a " + root_.ClassName());
    root_.BeginLoading();
    Apply(cls.line, [&] { root_.SetName(name); });
    ReadBody(root_);
    TToken rest = lexer_.Next();
    if (rest.kind != TTokenKind::End) Fail(rest.line, "Text after the end of the description");
  }

  // Properties and nested objects up to the block's "end".
  void ReadBody(TComponent& component) {
    for (;;) {
      if (PeekKeyword("end")) {
        lexer_.Next();
        return;
      }
      if (PeekKeyword("object"))
        ReadChild(component);
      else
        ReadProperty(component);
    }
  }

  void ReadChild(TComponent& parent) {
    const THeader header = ReadHeader();
    const std::string& name = header.name;
    const TToken& cls = header.cls;
    TComponent* child = nullptr;
    Apply(cls.line, [&] { child = CreateComponentByClassName(cls.text, &root_); });
    created_.push_back(child);
    child->BeginLoading();
    Apply(cls.line, [&] {
      child->SetName(name);
      BindField(*child);
      child->SetParentComponent(&parent);
    });
    ReadBody(*child);
  }

  void BindField(TComponent& child) {
    if (child.Name().empty()) return;
    if (const TFieldInfo* f = root_.ClassInfo().FindField(child.Name()))
      if (!f->Set(root_, &child))
        throw EPropertyError("Field " + child.Name() + " of " + root_.ClassName() + " does not fit class " +
                             child.ClassName());
  }

  // Runs ACTION, turning any framework error into a parser error at LINE.
  template <class F>
  void Apply(int line, F action) {
    try {
      action();
    } catch (const EParserError&) {
      throw;
    } catch (const Exception& e) {
      Fail(line, e.Message());
    }
  }

  void ReadProperty(TObject& object) {
    TToken first = ExpectIdent();
    TObject* target = &object;
    std::string path = first.text;
    std::string name = first.text;
    while (PeekSymbol(".")) {
      lexer_.Next();
      target = SubObject(*target, name, path, first.line);
      name = ExpectIdent().text;
      path += "." + name;
    }
    const TPropInfo* prop = GetPropInfo(*target, name);
    if (!prop) Fail(first.line, "Unknown property " + path + " of class " + object.ClassName());
    Expect("=");
    ReadValue(*target, *prop, first.line);
  }

  TObject* SubObject(TObject& object, const std::string& name, const std::string& path, int line) {
    const TPropInfo* prop = GetPropInfo(object, name);
    if (!prop) Fail(line, "Unknown property " + path + " of class " + object.ClassName());
    if (prop->Kind != tkClass) Fail(line, "Property " + path + " has no sub-properties");
    TObject* sub = prop->GetObj(object);
    if (!sub) Fail(line, "Property " + path + " is not assigned");
    return sub;
  }

  void ReadValue(TObject& target, const TPropInfo& prop, int line) {
    switch (prop.Kind) {
      case tkInteger:
      case tkColor: return ReadOrdinal(target, prop);
      case tkBoolean:
      case tkEnumeration: return ReadEnumeration(target, prop);
      case tkSet: return ReadSet(target, prop);
      case tkString: return ReadString(target, prop);
      case tkComponent: return ReadReference(target, prop);
      case tkMethod: return ReadEvent(target, prop);
      case tkStringList: return ReadList(target, prop);
      case tkBinary: return ReadBinary(target, prop);
      case tkClass: return ReadObjectValue(target, prop, line);
    }
  }

  TToken ExpectKind(TTokenKind kind, const TPropInfo& prop) {
    TToken t = lexer_.Next();
    if (t.kind != kind) Fail(t.line, std::string("Invalid value (") + TokenName(t) + ") for property " + prop.Name);
    return t;
  }

  void ReadOrdinal(TObject& target, const TPropInfo& prop) {
    TToken t = lexer_.Next();
    int64_t value = t.number;
    if (t.kind == TTokenKind::Ident) {
      if (!IdentToInteger(prop.TypeName, t.text, value))
        Fail(t.line, "Unknown identifier " + t.text + " for property " + prop.Name);
    } else if (t.kind != TTokenKind::Number) {
      Fail(t.line, std::string("Invalid value (") + TokenName(t) + ") for property " + prop.Name);
    }
    Apply(t.line, [&] { prop.SetOrd(target, value); });
  }

  void ReadEnumeration(TObject& target, const TPropInfo& prop) {
    TToken t = ExpectKind(TTokenKind::Ident, prop);
    Apply(t.line, [&] { SetEnumProp(target, prop.Name, t.text); });
  }

  void ReadSet(TObject& target, const TPropInfo& prop) {
    int line = lexer_.Peek().line;
    Expect("[");
    std::string elements;
    while (!PeekSymbol("]")) {
      if (!elements.empty()) Expect(",");
      elements += ExpectIdent().text + ",";
    }
    lexer_.Next();
    Apply(line, [&] { SetSetProp(target, prop.Name, elements); });
  }

  void ReadString(TObject& target, const TPropInfo& prop) {
    TToken t = ExpectKind(TTokenKind::Text, prop);
    Apply(t.line, [&] { prop.SetStr(target, t.text); });
  }

  void ReadReference(TObject& target, const TPropInfo& prop) {
    TToken t = ExpectKind(TTokenKind::Ident, prop);
    if (SameText(t.text, "nil"))
      Apply(t.line, [&] { prop.SetObj(target, nullptr); });
    else
      fixups_.push_back({&target, &prop, t.text, t.line});
  }

  void ReadEvent(TObject& target, const TPropInfo& prop) {
    TToken t = ExpectKind(TTokenKind::Ident, prop);
    if (SameText(t.text, "nil")) return Apply(t.line, [&] { prop.SetMethod(target, std::any()); });
    const TMethodInfo* method = root_.ClassInfo().FindMethod(t.text);
    if (!method) Fail(t.line, "Handler " + t.text + " not found in " + root_.ClassName());
    Apply(t.line, [&] { prop.SetMethod(target, method->Bind(root_)); });
  }

  void ReadList(TObject& target, const TPropInfo& prop) {
    int line = lexer_.Peek().line;
    Expect("(");
    std::vector<std::string> lines;
    while (!PeekSymbol(")")) lines.push_back(ExpectKind(TTokenKind::Text, prop).text);
    lexer_.Next();
    Apply(line, [&] { prop.SetList(target, lines); });
  }

  void ReadBinary(TObject& target, const TPropInfo& prop) {
    TToken t = ExpectKind(TTokenKind::Bytes, prop);
    std::vector<uint8_t> bytes(t.text.begin(), t.text.end());
    Apply(t.line, [&] { prop.SetBytes(target, bytes); });
  }

  // A sub-object takes a value only as a collection's item list or a string list's lines.
  void ReadObjectValue(TObject& target, const TPropInfo& prop, int line) {
    TObject* object = prop.GetObj(target);
    if (auto* strings = dynamic_cast<TStrings*>(object); strings && PeekSymbol("("))
      return ReadList(*strings, RequirePropInfo(*strings, "Strings"));
    auto* collection = dynamic_cast<TCollection*>(object);
    if (!collection || !PeekSymbol("<")) Fail(line, "Property " + prop.Name + " takes sub-properties, not a value");
    lexer_.Next();
    collection->BeginUpdate();
    try {
      collection->Clear();
      while (!PeekSymbol(">")) ReadItem(*collection);
      lexer_.Next();
    } catch (...) {
      collection->EndUpdate();
      throw;
    }
    Apply(line, [&] { collection->EndUpdate(); });
  }

  void ReadItem(TCollection& collection) {
    TToken keyword = ExpectIdent();
    if (!SameText(keyword.text, "item")) Fail(keyword.line, "'item' expected");
    TCollectionItem* item = nullptr;
    Apply(keyword.line, [&] { item = collection.Add(); });
    while (!PeekKeyword("end")) ReadProperty(*item);
    lexer_.Next();
  }

  void ResolveFixups() {
    for (const TFixup& f : fixups_) {
      TComponent* found = SameText(root_.Name(), f.name) ? &root_ : root_.FindComponent(f.name);
      if (!found) Fail(f.line, "Component " + f.name + " not found for property " + f.prop->Name);
      if (!f.prop->AcceptsClass(found))
        Fail(f.line, "Component " + f.name + " of class " + found->ClassName() + " does not fit property " +
                         f.prop->Name);
      Apply(f.line, [&] { f.prop->SetObj(*f.instance, found); });
    }
  }

  bool RootOwns(const TComponent* c) const {
    for (int i = 0; i < root_.ComponentCount(); ++i)
      if (root_.Components(i) == c) return true;
    return false;
  }

  // A failed read leaves no half-read components behind.
  void Abandon() {
    // Last first; a component's destructor may already have freed others (its children).
    // Last first; a component's destructor may already have freed others (its children), so
    // only what the root still lists is freed.
    for (auto it = created_.rbegin(); it != created_.rend(); ++it)
      if (RootOwns(*it)) delete *it;
    created_.clear();
    root_.EndLoading();
  }

  TLexer lexer_;
  TComponent& root_;
  std::vector<TComponent*> created_;
  std::vector<TFixup> fixups_;
};

}  // namespace

void ReadComponentText(std::string_view text, TComponent& root) { TDescriptionReader(text, root).Read(); }

#ifdef _WIN32
bool ReadComponentResource(TComponent& root, const char* name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, name ? name : root.ClassName(), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!info) return false;
  // Resource memory lives as long as the module: nothing to free.
  HGLOBAL data = LoadResource(module, info);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return false;
  ReadComponentText(std::string_view(static_cast<const char*>(bytes), SizeofResource(module, info)), root);
  return true;
}
#endif
