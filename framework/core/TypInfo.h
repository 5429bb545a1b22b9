// Published properties: a per-class table, in declaration order with the inherited tables
// first, through which stored window descriptions are applied and a property can be found
// and set by name ("does this control publish UIStyle?"). Each entry runs the class's own
// getter and setter, so a value set by name behaves exactly like one set by a program.
//
// How a class publishes its properties and handler methods (include framework/core/Classes.h):
//
//   enum TShape { stRectangle, stCircle };
//   inline const TEnumInfo ShapeInfo("TShape", {"stRectangle", "stCircle"});
//
//   class TBadge : public TComponent {
//     VANTOR_CLASS(TBadge, TComponent)        // class info; names the parent, defines `inherited`
//   public:
//     explicit TBadge(TComponent* owner) : TComponent(owner) {}
//     int Width() const;                TShape Shape() const;       TColor Color() const;
//     void SetWidth(int value);         void SetShape(TShape value); void SetColor(TColor value);
//     TFont* Font();                    const TNotifyEvent& OnClick() const; void SetOnClick(TNotifyEvent e);
//     void BadgeClick(TObject* sender); // a handler a stored description may bind by name
//     static void DeclarePublished(TPublished<TBadge>& p) {
//       p.Integer("Width", &TBadge::Width, &TBadge::SetWidth);
//       p.Enumeration("Shape", ShapeInfo, &TBadge::Shape, &TBadge::SetShape);
//       p.Color("Color", &TBadge::Color, &TBadge::SetColor);
//       p.Object("Font", &TBadge::Font);                     // sub-object, read in place
//       p.Event("OnClick", &TBadge::OnClick, &TBadge::SetOnClick);
//       p.Method("BadgeClick", &TBadge::BadgeClick);
//     }
//     // A form also lists its component fields:  p.Field("Button1", &TForm1::Button1);
//   };
//   RegisterComponentClass<TBadge>();          // once, before a description creates one
//
// A class with nothing new to publish simply omits DeclarePublished. Re-declaring an inherited
// name replaces that entry in place. Other kinds: Boolean, Set (bit N = element N of a
// TEnumInfo; getter/setter use TSet<E> or an unsigned mask), String, Component (a reference to
// another component, getter returns U* for any U derived from TComponent), StringList
// (std::vector<std::string>), Binary (std::vector<uint8_t>). Integer and Color accept an
// optional type name whose identifier map (RegisterIntegerConsts) resolves names such as
// clBtnFace: the graphics layer registers the "TColor" map.
//
// Names avoid the Win32 macros (RegisterClass, GetObject, SetProp, GetClassInfo).
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/core/StrUtils.h"
#include "framework/core/SysUtils.h"

class TObject;
class TPersistent;
class TComponent;

// A property name is unknown to a class, or a value does not fit the property.
class EPropertyError : public Exception {
public:
  using Exception::Exception;
};

// No class of that name is registered.
class EClassNotFound : public Exception {
public:
  using Exception::Exception;
};

// A set over an enumeration: bit N stands for the element with ordinal N (N < 64).
template <class E>
class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> elements) {
    for (E e : elements) Include(e);
  }
  static constexpr TSet FromBits(uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr uint64_t Bits() const { return bits_; }
  constexpr bool Contains(E e) const { return (bits_ >> static_cast<unsigned>(e)) & 1u; }
  constexpr void Include(E e) { bits_ |= uint64_t{1} << static_cast<unsigned>(e); }
  constexpr void Exclude(E e) { bits_ &= ~(uint64_t{1} << static_cast<unsigned>(e)); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool operator==(const TSet&) const = default;

private:
  uint64_t bits_ = 0;
};

// The names of an enumeration's elements, ordinal 0 first. Look-ups ignore case.
class TEnumInfo {
public:
  TEnumInfo(const char* typeName, std::initializer_list<const char*> names);
  const char* TypeName() const { return typeName_; }
  int Count() const { return static_cast<int>(names_.size()); }
  // Empty for an ordinal outside the enumeration.
  std::string NameOf(int64_t ordinal) const;
  bool ValueOf(std::string_view name, int64_t& ordinal) const;

private:
  const char* typeName_;
  std::vector<std::string> names_;
};

enum TTypeKind {
  tkInteger,
  tkBoolean,
  tkEnumeration,
  tkSet,
  tkString,
  tkColor,
  tkComponent,   // reference to another component, by name in a description
  tkClass,       // sub-object owned by the instance: font, picture, strings, collection
  tkMethod,      // event, bound to a handler by name
  tkStringList,  // list of strings, e.g. the lines of a TStrings
  tkBinary,      // raw bytes, e.g. picture data
};

// One published property. Only the accessors of its kind are set; every accessor takes the
// instance as a TObject that is known to be of the declaring class.
struct TPropInfo {
  std::string Name;
  TTypeKind Kind = tkInteger;
  std::string TypeName;               // "Integer", "TColor", an enumeration or class name
  const TEnumInfo* Enum = nullptr;    // enumeration; element type of a set
  bool (*AcceptsClass)(const TObject*) = nullptr;  // component references: the target's class fits
  std::function<int64_t(const TObject&)> GetOrd;   // integer, boolean, enumeration, set, colour
  std::function<void(TObject&, int64_t)> SetOrd;
  std::function<std::string(const TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(const TObject&)> GetObj;  // sub-object or referenced component
  std::function<void(TObject&, TObject*)> SetObj;  // referenced component
  std::function<bool(const TObject&)> HasMethod;   // an event handler is assigned
  std::function<void(TObject&, const std::any&)> SetMethod;  // std::function of the event's type
  std::function<std::vector<std::string>(const TObject&)> GetList;
  std::function<void(TObject&, const std::vector<std::string>&)> SetList;
  std::function<std::vector<uint8_t>(const TObject&)> GetBytes;
  std::function<void(TObject&, const std::vector<uint8_t>&)> SetBytes;
};

// A published handler method; Bind returns a std::function of the method's signature that
// calls it on the given instance.
struct TMethodInfo {
  std::string Name;
  std::function<std::any(TObject&)> Bind;
};

// A published field of a root component (a form): when a stored description creates a
// component of that name, the field points to it; it is cleared when that component goes.
struct TFieldInfo {
  std::string Name;
  std::function<bool(TObject& root, TComponent* value)> Set;  // false: class does not fit
  std::function<TComponent*(const TObject& root)> Get;
};

template <class T>
class TPublished;

// The run-time description of a class: its name, parent and published members.
class TClassInfo {
public:
  TClassInfo(const char* name, const TClassInfo* parent) : name_(name), parent_(parent) {}

  const char* Name() const { return name_; }
  const TClassInfo* Parent() const { return parent_; }
  bool InheritsFrom(const TClassInfo& other) const;

  // All published properties, inherited first, each in declaration order.
  std::vector<const TPropInfo*> Properties() const;
  // Case-insensitive; the most derived declaration wins. nullptr when absent.
  const TPropInfo* FindProperty(std::string_view name) const;
  const TMethodInfo* FindMethod(std::string_view name) const;
  const TFieldInfo* FindField(std::string_view name) const;
  // Every published field, inherited first.
  std::vector<const TFieldInfo*> Fields() const;

  std::vector<TPropInfo>& OwnProperties() { return props_; }
  std::vector<TMethodInfo>& OwnMethods() { return methods_; }
  std::vector<TFieldInfo>& OwnFields() { return fields_; }

  template <class Cls, class Parent>
  static TClassInfo Make(const char* name);

private:
  const char* name_;
  const TClassInfo* parent_;
  std::vector<TPropInfo> props_;
  std::vector<TMethodInfo> methods_;
  std::vector<TFieldInfo> fields_;
};

// Declares a class's run-time information. Put it first in the class body. The parent may be
// a template-id with commas (TkyrStyled<TCustomPanel, IkyrFramePanel>).
#define VANTOR_CLASS(Cls, ...)                                                            \
public:                                                                                  \
  using inherited = __VA_ARGS__;                                                          \
  static const TClassInfo& StaticClassInfo() {                                           \
    static const TClassInfo info = TClassInfo::Make<Cls, __VA_ARGS__>(#Cls);               \
    return info;                                                                         \
  }                                                                                      \
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }             \
  const char* ClassName() const override { return #Cls; }                                \
                                                                                         \
private:

namespace typinfo_detail {
template <class G, class T>
using Value = std::decay_t<std::invoke_result_t<G, const T&>>;

template <class V>
int64_t ToOrd(const V& v) {
  if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
    return static_cast<int64_t>(v);
  else
    return static_cast<int64_t>(v.Bits());  // a TSet
}

template <class V>
V FromOrd(int64_t v) {
  if constexpr (std::is_same_v<V, bool>)
    return v != 0;
  else if constexpr (std::is_integral_v<V> || std::is_enum_v<V>)
    return static_cast<V>(v);
  else
    return V::FromBits(static_cast<uint64_t>(v));
}
}  // namespace typinfo_detail

// The builder a class's DeclarePublished receives. G is a getter (member function or
// callable taking const T&), S a setter taking T& and the getter's value type.
template <class T>
class TPublished {
public:
  explicit TPublished(TClassInfo& info) : info_(info) {}

  template <class G, class S>
  void Integer(const char* name, G get, S set, const char* typeName = "Integer") {
    Ordinal(name, tkInteger, typeName, nullptr, get, set);
  }
  template <class G, class S>
  void Boolean(const char* name, G get, S set) {
    Ordinal(name, tkBoolean, "Boolean", nullptr, get, set);
  }
  template <class G, class S>
  void Enumeration(const char* name, const TEnumInfo& info, G get, S set) {
    Ordinal(name, tkEnumeration, info.TypeName(), &info, get, set);
  }
  template <class G, class S>
  void Set(const char* name, const TEnumInfo& elements, G get, S set) {
    Ordinal(name, tkSet, elements.TypeName(), &elements, get, set);
  }
  template <class G, class S>
  void Color(const char* name, G get, S set) {
    Ordinal(name, tkColor, "TColor", nullptr, get, set);
  }
  template <class G, class S>
  void String(const char* name, G get, S set) {
    TPropInfo& p = Add(name, tkString, "String");
    p.GetStr = [get](const TObject& o) { return std::string(std::invoke(get, Self(o))); };
    p.SetStr = [set](TObject& o, const std::string& v) { std::invoke(set, Self(o), v); };
  }
  template <class G, class S>
  void StringList(const char* name, G get, S set) {
    TPropInfo& p = Add(name, tkStringList, "TStrings");
    p.GetList = [get](const TObject& o) { return std::vector<std::string>(std::invoke(get, Self(o))); };
    p.SetList = [set](TObject& o, const std::vector<std::string>& v) { std::invoke(set, Self(o), v); };
  }
  template <class G, class S>
  void Binary(const char* name, G get, S set) {
    TPropInfo& p = Add(name, tkBinary, "Binary");
    p.GetBytes = [get](const TObject& o) { return std::vector<uint8_t>(std::invoke(get, Self(o))); };
    p.SetBytes = [set](TObject& o, const std::vector<uint8_t>& v) { std::invoke(set, Self(o), v); };
  }
  // A reference to a component of class U (the getter returns U*); a component of another
  // class is refused with EPropertyError.
  template <class G, class S>
  void Component(const char* name, G get, S set) {
    using P = typinfo_detail::Value<G, T>;
    using U = std::remove_pointer_t<P>;
    TPropInfo& p = Add(name, tkComponent, "TComponent");
    p.AcceptsClass = [](const TObject* o) { return o == nullptr || dynamic_cast<const U*>(o) != nullptr; };
    p.GetObj = [get](const TObject& o) -> TObject* { return std::invoke(get, Self(o)); };
    p.SetObj = [set](TObject& o, TObject* v) { std::invoke(set, Self(o), dynamic_cast<U*>(v)); };
  }
  // A sub-object the instance owns for its whole life; its own properties are set in place.
  template <class G>
  void Object(const char* name, G get) {
    TPropInfo& p = Add(name, tkClass, "TPersistent");
    p.GetObj = [get](const TObject& o) -> TObject* {
      return std::invoke(get, const_cast<T&>(Self(o)));
    };
  }
  // An event: the getter returns the std::function, the setter takes one of the same type.
  template <class G, class S>
  void Event(const char* name, G get, S set) {
    using F = typinfo_detail::Value<G, T>;
    TPropInfo& p = Add(name, tkMethod, "Event");
    p.HasMethod = [get](const TObject& o) { return static_cast<bool>(std::invoke(get, Self(o))); };
    p.SetMethod = [set, n = std::string(name)](TObject& o, const std::any& handler) {
      if (!handler.has_value()) return std::invoke(set, Self(o), F{});
      const F* f = std::any_cast<F>(&handler);
      if (!f) throw EPropertyError("Handler does not match the type of event " + n);
      std::invoke(set, Self(o), *f);
    };
  }
  // A handler a description may bind to an event by name.
  template <class R, class... A>
  void Method(const char* name, R (T::*fn)(A...)) {
    info_.OwnMethods().push_back({name, [fn](TObject& o) -> std::any {
      T* self = &Self(o);
      return std::function<R(A...)>([self, fn](A... a) { return (self->*fn)(std::forward<A>(a)...); });
    }});
  }

  // A member pointer the reader fills with the created component of that name (class U).
  template <class U>
  void Field(const char* name, U* T::*member) {
    info_.OwnFields().push_back({name,
                                 [member](TObject& o, TComponent* c) {
                                   U* typed = dynamic_cast<U*>(c);
                                   if (c && !typed) return false;
                                   Self(o).*member = typed;
                                   return true;
                                 },
                                 [member](const TObject& o) -> TComponent* { return Self(o).*member; }});
  }

private:
  static T& Self(TObject& o) { return static_cast<T&>(o); }
  static const T& Self(const TObject& o) { return static_cast<const T&>(o); }

  TPropInfo& Add(const char* name, TTypeKind kind, const char* typeName) {
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.TypeName = typeName;
    info_.OwnProperties().push_back(std::move(p));
    return info_.OwnProperties().back();
  }
  template <class G, class S>
  void Ordinal(const char* name, TTypeKind kind, const char* typeName, const TEnumInfo* info, G get, S set) {
    using V = typinfo_detail::Value<G, T>;
    TPropInfo& p = Add(name, kind, typeName);
    p.Enum = info;
    p.GetOrd = [get](const TObject& o) { return typinfo_detail::ToOrd<V>(std::invoke(get, Self(o))); };
    p.SetOrd = [set](TObject& o, int64_t v) { std::invoke(set, Self(o), typinfo_detail::FromOrd<V>(v)); };
  }

  TClassInfo& info_;
};

template <class Cls, class Parent>
TClassInfo TClassInfo::Make(const char* name) {
  TClassInfo info(name, &Parent::StaticClassInfo());
  // A class that declares nothing itself would otherwise find its parent's function.
  if constexpr (std::is_same_v<decltype(&Cls::DeclarePublished), void (*)(TPublished<Cls>&)>) {
    TPublished<Cls> builder(info);
    Cls::DeclarePublished(builder);
  }
  return info;
}

// ---- by-name access (EPropertyError when the class does not publish NAME) ----
const TPropInfo* GetPropInfo(const TObject& obj, std::string_view name);
bool HasPublishedProperty(const TObject* obj, std::string_view name);
// The property, or EPropertyError naming the class and property.
const TPropInfo& RequirePropInfo(const TObject& obj, std::string_view name);

int64_t GetOrdProp(const TObject& obj, std::string_view name);
void SetOrdProp(TObject& obj, std::string_view name, int64_t value);
std::string GetStrProp(const TObject& obj, std::string_view name);
void SetStrProp(TObject& obj, std::string_view name, const std::string& value);
// Element name of an enumeration, "True"/"False" of a boolean.
std::string GetEnumProp(const TObject& obj, std::string_view name);
void SetEnumProp(TObject& obj, std::string_view name, std::string_view value);
// Sets as text: "[fsBold,fsItalic]" (brackets optional when setting).
std::string GetSetProp(const TObject& obj, std::string_view name);
void SetSetProp(TObject& obj, std::string_view name, std::string_view value);
TObject* GetObjectProp(const TObject& obj, std::string_view name);
void SetComponentProp(TObject& obj, std::string_view name, TComponent* value);
// HANDLER holds a std::function of the event's type; an empty std::any clears the event.
void SetMethodProp(TObject& obj, std::string_view name, const std::any& handler);

// Sets a property from the text of a value: a number or identifier (integer with an
// identifier map, colour such as clTeal or $00FF0000), True/False, an enumeration element, a
// set, or a string (taken as is). The kind of the property decides how the text is read.
void SetPropText(TObject& obj, std::string_view name, std::string_view text);
// Resolves VALUE (an identifier, a decimal or $hex number) for a property of kind integer or
// colour; false when the text is neither.
bool ReadOrdinalText(const TPropInfo& prop, std::string_view text, int64_t& value);

// ---- identifier maps for integer types (colours, cursors, charsets ...) ----
using TIdentToInt = std::function<bool(std::string_view ident, int64_t& value)>;
using TIntToIdent = std::function<bool(int64_t value, std::string& ident)>;
void RegisterIntegerConsts(const std::string& typeName, TIdentToInt toInt, TIntToIdent toIdent);
bool IdentToInteger(std::string_view typeName, std::string_view ident, int64_t& value);
bool IntegerToIdent(std::string_view typeName, int64_t value, std::string& ident);

// ---- the class registry: components created by class name ----
using TComponentFactory = TComponent* (*)(TComponent* owner);
void RegisterComponentFactory(const TClassInfo& info, TComponentFactory factory);
template <class T>
void RegisterComponentClass() {
  RegisterComponentFactory(T::StaticClassInfo(), [](TComponent* owner) -> TComponent* { return new T(owner); });
}
// nullptr when no class of that name (case-insensitive) is registered.
const TClassInfo* FindComponentClass(std::string_view name);
// A new component of the registered class, owned by OWNER; EClassNotFound otherwise.
TComponent* CreateComponentByClassName(std::string_view name, TComponent* owner);

