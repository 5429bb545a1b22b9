#include "framework/core/TypInfo.h"

#include <map>

#include "framework/core/Classes.h"

namespace {

struct IdentMap {
  TIdentToInt toInt;
  TIntToIdent toIdent;
};

// Function-local statics: registrations may run from other units' static initialisers.
std::map<std::string, IdentMap>& IdentMaps() {
  static std::map<std::string, IdentMap> maps;
  return maps;
}

struct ClassEntry {
  const TClassInfo* info;
  TComponentFactory factory;
};

std::map<std::string, ClassEntry>& ClassRegistry() {
  static std::map<std::string, ClassEntry> classes;
  return classes;
}

[[noreturn]] void WrongKind(const TObject& obj, const TPropInfo& prop, const char* what) {
  throw EPropertyError(std::string("Property ") + obj.ClassName() + "." + prop.Name + " is not " + what);
}

const TPropInfo& RequireKind(const TObject& obj, std::string_view name, std::initializer_list<TTypeKind> kinds,
                             const char* what) {
  const TPropInfo& prop = RequirePropInfo(obj, name);
  for (TTypeKind k : kinds)
    if (prop.Kind == k) return prop;
  WrongKind(obj, prop, what);
}

int64_t ParseEnum(const TObject& obj, const TPropInfo& prop, std::string_view text) {
  int64_t v = 0;
  if (prop.Kind == tkBoolean) {
    if (SameText(text, "True")) return 1;
    if (SameText(text, "False")) return 0;
  } else if (prop.Enum && prop.Enum->ValueOf(text, v)) {
    return v;
  }
  throw EPropertyError("Invalid value " + std::string(text) + " for property " + obj.ClassName() + "." + prop.Name);
}

}  // namespace

// ---- TEnumInfo ----
TEnumInfo::TEnumInfo(const char* typeName, std::initializer_list<const char*> names) : typeName_(typeName) {
  for (const char* n : names) names_.emplace_back(n);
}

std::string TEnumInfo::NameOf(int64_t ordinal) const {
  if (ordinal < 0 || ordinal >= Count()) return {};
  return names_[static_cast<size_t>(ordinal)];
}

bool TEnumInfo::ValueOf(std::string_view name, int64_t& ordinal) const {
  for (size_t i = 0; i < names_.size(); ++i)
    if (SameText(names_[i], name)) {
      ordinal = static_cast<int64_t>(i);
      return true;
    }
  return false;
}

// ---- TClassInfo ----
bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    if (c == &other) return true;
  return false;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TPropInfo*> list = parent_ ? parent_->Properties() : std::vector<const TPropInfo*>{};
  for (const TPropInfo& p : props_) {
    bool replaced = false;
    for (const TPropInfo*& existing : list)
      if (SameText(existing->Name, p.Name)) {
        existing = &p;
        replaced = true;
      }
    if (!replaced) list.push_back(&p);
  }
  return list;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const TPropInfo& p : c->props_)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const TMethodInfo& m : c->methods_)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

const TFieldInfo* TClassInfo::FindField(std::string_view name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const TFieldInfo& f : c->fields_)
      if (SameText(f.Name, name)) return &f;
  return nullptr;
}

std::vector<const TFieldInfo*> TClassInfo::Fields() const {
  std::vector<const TFieldInfo*> list = parent_ ? parent_->Fields() : std::vector<const TFieldInfo*>{};
  for (const TFieldInfo& f : fields_) list.push_back(&f);
  return list;
}

// ---- by-name access ----
const TPropInfo* GetPropInfo(const TObject& obj, std::string_view name) { return obj.ClassInfo().FindProperty(name); }

bool HasPublishedProperty(const TObject* obj, std::string_view name) {
  return obj != nullptr && GetPropInfo(*obj, name) != nullptr;
}

const TPropInfo& RequirePropInfo(const TObject& obj, std::string_view name) {
  if (const TPropInfo* p = GetPropInfo(obj, name)) return *p;
  throw EPropertyError("Class " + std::string(obj.ClassName()) + " has no property " + std::string(name));
}

static const std::initializer_list<TTypeKind> OrdinalKinds = {tkInteger, tkBoolean, tkEnumeration, tkSet, tkColor};

int64_t GetOrdProp(const TObject& obj, std::string_view name) {
  return RequireKind(obj, name, OrdinalKinds, "ordinal").GetOrd(obj);
}

void SetOrdProp(TObject& obj, std::string_view name, int64_t value) {
  RequireKind(obj, name, OrdinalKinds, "ordinal").SetOrd(obj, value);
}

std::string GetStrProp(const TObject& obj, std::string_view name) {
  return RequireKind(obj, name, {tkString}, "a string").GetStr(obj);
}

void SetStrProp(TObject& obj, std::string_view name, const std::string& value) {
  RequireKind(obj, name, {tkString}, "a string").SetStr(obj, value);
}

std::string GetEnumProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = RequireKind(obj, name, {tkEnumeration, tkBoolean}, "an enumeration");
  int64_t v = p.GetOrd(obj);
  if (p.Kind == tkBoolean) return v ? "True" : "False";
  return p.Enum->NameOf(v);
}

void SetEnumProp(TObject& obj, std::string_view name, std::string_view value) {
  const TPropInfo& p = RequireKind(obj, name, {tkEnumeration, tkBoolean}, "an enumeration");
  p.SetOrd(obj, ParseEnum(obj, p, Trim(value)));
}

std::string GetSetProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = RequireKind(obj, name, {tkSet}, "a set");
  uint64_t bits = static_cast<uint64_t>(p.GetOrd(obj));
  std::string text = "[";
  for (int i = 0; i < p.Enum->Count(); ++i)
    if ((bits >> i) & 1u) text += (text.size() > 1 ? "," : "") + p.Enum->NameOf(i);
  return text + "]";
}

void SetSetProp(TObject& obj, std::string_view name, std::string_view value) {
  const TPropInfo& p = RequireKind(obj, name, {tkSet}, "a set");
  value = Trim(value);
  if (value.size() >= 2 && value.front() == '[' && value.back() == ']') value = value.substr(1, value.size() - 2);
  uint64_t bits = 0;
  while (!Trim(value).empty()) {
    size_t comma = value.find(',');
    std::string_view element = Trim(value.substr(0, comma));
    int64_t ordinal = 0;
    if (!p.Enum->ValueOf(element, ordinal))
      throw EPropertyError("Invalid set element " + std::string(element) + " for property " + obj.ClassName() +
                           "." + p.Name);
    bits |= uint64_t{1} << ordinal;
    value = comma == std::string_view::npos ? std::string_view{} : value.substr(comma + 1);
  }
  p.SetOrd(obj, static_cast<int64_t>(bits));
}

TObject* GetObjectProp(const TObject& obj, std::string_view name) {
  return RequireKind(obj, name, {tkClass, tkComponent}, "an object").GetObj(obj);
}

void SetComponentProp(TObject& obj, std::string_view name, TComponent* value) {
  const TPropInfo& p = RequireKind(obj, name, {tkComponent}, "a component reference");
  if (!p.AcceptsClass(value))
    throw EPropertyError("Component " + value->Name() + " of class " + value->ClassName() +
                         " does not fit property " + obj.ClassName() + "." + p.Name);
  p.SetObj(obj, value);
}

void SetMethodProp(TObject& obj, std::string_view name, const std::any& handler) {
  RequireKind(obj, name, {tkMethod}, "an event").SetMethod(obj, handler);
}

bool ReadOrdinalText(const TPropInfo& prop, std::string_view text, int64_t& value) {
  text = Trim(text);
  return TryParseNumber(text, value) || IdentToInteger(prop.TypeName, text, value);
}

void SetPropText(TObject& obj, std::string_view name, std::string_view text) {
  const TPropInfo& p = RequirePropInfo(obj, name);
  int64_t v = 0;
  switch (p.Kind) {
    case tkInteger:
    case tkColor:
      if (!ReadOrdinalText(p, text, v))
        throw EPropertyError("Invalid value " + std::string(text) + " for property " + obj.ClassName() + "." + p.Name);
      return p.SetOrd(obj, v);
    case tkBoolean:
    case tkEnumeration: return SetEnumProp(obj, name, text);
    case tkSet: return SetSetProp(obj, name, text);
    case tkString: return p.SetStr(obj, std::string(text));
    default: WrongKind(obj, p, "settable from text");
  }
}

// ---- identifier maps ----
void RegisterIntegerConsts(const std::string& typeName, TIdentToInt toInt, TIntToIdent toIdent) {
  IdentMaps()[LowerCase(typeName)] = {std::move(toInt), std::move(toIdent)};
}

bool IdentToInteger(std::string_view typeName, std::string_view ident, int64_t& value) {
  auto it = IdentMaps().find(LowerCase(typeName));
  return it != IdentMaps().end() && it->second.toInt && it->second.toInt(ident, value);
}

bool IntegerToIdent(std::string_view typeName, int64_t value, std::string& ident) {
  auto it = IdentMaps().find(LowerCase(typeName));
  return it != IdentMaps().end() && it->second.toIdent && it->second.toIdent(value, ident);
}

// ---- class registry ----
void RegisterComponentFactory(const TClassInfo& info, TComponentFactory factory) {
  ClassRegistry()[LowerCase(info.Name())] = {&info, factory};
}

const TClassInfo* FindComponentClass(std::string_view name) {
  auto it = ClassRegistry().find(LowerCase(name));
  return it == ClassRegistry().end() ? nullptr : it->second.info;
}

TComponent* CreateComponentByClassName(std::string_view name, TComponent* owner) {
  auto it = ClassRegistry().find(LowerCase(name));
  if (it == ClassRegistry().end()) throw EClassNotFound("Class " + std::string(name) + " not found");
  return it->second.factory(owner);
}
