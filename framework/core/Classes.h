// The component model: objects with run-time class information, persistent objects that can
// be assigned, components that own and free each other and are told when a component they
// may reference comes or goes, string lists and collections.
//
// For published properties, handler methods and the class registry see TypInfo.h (its top
// comment shows how a class declares them with VANTOR_CLASS and DeclarePublished).
//
// Notes for derived classes:
// - Going: a component is going from the moment Destroying() marks it (and everything it owns)
//   until it is freed; IsDestroying() is the one question to ask ("nothing repaints, re-lays out
//   or re-reads on the way out"). The rule: every destructor of a component class that has a
//   body calls Destroying() as its first statement, before it cancels, releases or frees
//   anything; a class whose members can call back into it while they go (hooks, timers,
//   references with a call-back) declares such a destructor for that reason alone. The most
//   derived destructor runs first, so the whole component is marked before any part of it goes.
// - Owned components are freed in ~TComponent, after the derived destructors have run. A class
//   whose owned components use its members while they go calls DestroyComponents() first in
//   its own destructor (after Destroying()).
// - A reference to a component that is not owned is a TComponentRef member: it clears itself
//   when the target goes and calls its holder back; no Notification branch is written for it.
// - Notification(c, opRemove) reaches the owner and every component it owns, and every free-
//   notification partner of c: clear references to c there (call the inherited one: it also
//   clears published fields that point to c).
// - Nested objects of a stored description are handed to SetParentComponent(enclosing) right
//   after creation (before their properties): the windowing layer overrides it to set Parent.
// - Loaded() runs once the whole description is read and references are resolved; the
//   default clears csLoading. Setters consult InState(csLoading) to defer work that needs the
//   whole form.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/core/TypInfo.h"

// A persistent object cannot take the value of another class's instance.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// A component name is invalid or not unique among the owner's components.
class EComponentError : public Exception {
public:
  using Exception::Exception;
};

// An index is outside a list.
class EListError : public Exception {
public:
  using Exception::Exception;
};

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  virtual const char* ClassName() const { return "TObject"; }
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
  static const TClassInfo& StaticClassInfo();
  static void DeclarePublished(TPublished<TObject>&) {}
  bool InheritsFrom(const TClassInfo& info) const { return ClassInfo().InheritsFrom(info); }
};

using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
  VANTOR_CLASS(TPersistent, TObject)
public:
  // Takes SOURCE's value; EConvertError when neither class knows how.
  virtual void Assign(const TPersistent& source);

protected:
  // Called by Assign when DEST's class does not handle SOURCE: a source that knows how to
  // fill a destination of another class overrides this.
  virtual void AssignTo(TPersistent& dest) const;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag { csLoading, csReading, csDesigning, csDestroying };
using TComponentState = TSet<TComponentStateFlag>;

class TComponent;

// The untyped part of TComponentRef: a node in its holder's list of references.
class TComponentRefBase {
public:
  TComponentRefBase(const TComponentRefBase&) = delete;
  TComponentRefBase& operator=(const TComponentRefBase&) = delete;

  TComponent* Holder() const { return holder_; }

protected:
  TComponentRefBase(TComponent* holder, std::function<void()> onRemoved);
  ~TComponentRefBase();
  TComponent* Target() const { return target_; }
  void SetTarget(TComponent* value);

private:
  friend class TComponent;
  TComponent* holder_;
  TComponent* target_ = nullptr;
  std::function<void()> onRemoved_;
};

// A reference from one component (the holder) to another that it does not own and that may
// belong to another owner. The holder takes the target's free notification; when the target is
// removed (freed, or taken out of the holder's owner), the reference clears itself before the
// holder's Notification runs and then calls ON_REMOVED, so no holder ever keeps a dangling
// pointer or needs a Notification branch for it. Neither copyable nor movable: it is a member
// of its holder, constructed with it.
//
//   class TThing : public TComponent {
//     TComponentRef<TPopupMenu> menu_{this, [this] { MenuGone(); }};
//   };
template <class T>
class TComponentRef : public TComponentRefBase {
public:
  explicit TComponentRef(TComponent* holder, std::function<void()> onRemoved = {})
      : TComponentRefBase(holder, std::move(onRemoved)) {}

  T* Get() const { return static_cast<T*>(Target()); }
  operator T*() const { return Get(); }
  T* operator->() const { return Get(); }
  explicit operator bool() const { return Target() != nullptr; }
  // Watches VALUE (nullptr: nothing) and stops watching the previous target, unless another
  // reference of the same holder still points to it.
  TComponentRef& operator=(T* value) {
    SetTarget(value);
    return *this;
  }
};

class TComponent : public TPersistent {
  VANTOR_CLASS(TComponent, TPersistent)
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  // Index in the owner's list, -1 without an owner.
  int ComponentIndex() const;

  const std::string& Name() const { return name_; }
  // Raises EComponentError for a name that is not an identifier or is already used by
  // another component of the same owner (names compare without case).
  virtual void SetName(const std::string& name);
  int Tag() const { return tag_; }
  void SetTag(int value) { tag_ = value; }
  // The owned component of that name (case-insensitive), or nullptr.
  TComponent* FindComponent(std::string_view name) const;

  // Takes ownership of COMPONENT (removing it from its previous owner) and tells every
  // component of this owner with Notification(component, opInsert).
  void InsertComponent(TComponent* component);
  // Gives up ownership without freeing; tells every component with opRemove.
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last first.
  void DestroyComponents();

  // OTHER is told (Notification opRemove) when this component goes, and this one when OTHER
  // goes; used for references across owners.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  TComponentState ComponentState() const { return state_; }
  bool InState(TComponentStateFlag flag) const { return state_.Contains(flag); }
  // Loading sets csLoading and csReading on a component; Loaded and EndReading clear them.
  void BeginLoading();
  void EndReading() { state_.Exclude(csReading); }
  // Clears both without Loaded(), for a read that failed.
  void EndLoading();
  void SetDesigning(bool value);
  // Marks this component and everything it owns as being destroyed (see the notes above).
  void Destroying();
  // True from Destroying() on: no repaint, no re-layout, no re-reading of styles.
  bool IsDestroying() const { return state_.Contains(csDestroying); }

  // Parent of a nested object of a stored description; the default ignores it.
  virtual void SetParentComponent(TComponent* parent);
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void Loaded();

  static void DeclarePublished(TPublished<TComponent>& p);

  // Delivers a notification as the framework does (for the reader and derived classes).
  void SendNotification(TComponent* component, TOperation operation) { Notification(component, operation); }

protected:
  // Called when COMPONENT is inserted into or removed from this component's owner (or this
  // component itself), or when a free-notification partner goes.
  virtual void Notification(TComponent* component, TOperation operation);

private:
  void NotifyOwned(TComponent* component, TOperation operation);
  void Detach(TComponent* component);

  friend class TComponentRefBase;
  // Whether another of this component's references (or, with FIELDS, a published field) points
  // to TARGET: then the free notification stays.
  bool RefersTo(const TComponent* target, const TComponentRefBase* except, bool fields) const;

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponentRefBase*> refs_;  // the references this component holds
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  int tag_ = 0;
  TComponentState state_;
};

// An ordered list of strings. Changes fire OnChange once per change, or once at the final
// EndUpdate when grouped.
class TStrings : public TPersistent {
  VANTOR_CLASS(TStrings, TPersistent)
public:
  virtual int Count() const = 0;
  // EListError for an index outside 0..Count()-1.
  virtual const std::string& Strings(int index) const = 0;
  virtual void Put(int index, const std::string& value) = 0;
  virtual void Insert(int index, const std::string& value) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  int Add(const std::string& value);
  int IndexOf(std::string_view value) const;  // case-insensitive, -1 when absent
  // Lines joined with CR LF after each; SetText splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(std::string_view text);
  std::vector<std::string> ToVector() const;
  // All lines at once (what a stored description's list sets); by default Clear, then Add each.
  virtual void SetStrings(const std::vector<std::string>& lines);

  void BeginUpdate();
  void EndUpdate();
  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

  void Assign(const TPersistent& source) override;
  static void DeclarePublished(TPublished<TStrings>& p);

protected:
  void Changed();

private:
  TNotifyEvent onChange_;
  int updateCount_ = 0;
  bool changedWhileUpdating_ = false;
};

class TStringList : public TStrings {
  VANTOR_CLASS(TStringList, TStrings)
public:
  TStringList() = default;
  int Count() const override { return static_cast<int>(items_.size()); }
  const std::string& Strings(int index) const override;
  void Put(int index, const std::string& value) override;
  void Insert(int index, const std::string& value) override;
  void Delete(int index) override;
  void Clear() override;

private:
  void Check(int index, int limit) const;
  std::vector<std::string> items_;
};

class TCollection;

// An item of a collection. Deleting an item removes it from its collection.
class TCollectionItem : public TPersistent {
  VANTOR_CLASS(TCollectionItem, TPersistent)
public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  int Index() const;
  void SetIndex(int value);
  // An item of the same class takes every published value but references and events.
  void Assign(const TPersistent& source) override;

protected:
  // Tells the collection this item changed (ALLITEMS: the change affects every item).
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_;
};

// An owned, ordered set of items of one class. Update(item) runs after changes (item nullptr:
// everything changed); it is deferred while BeginUpdate is in effect.
class TCollection : public TPersistent {
  VANTOR_CLASS(TCollection, TPersistent)
public:
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  // OWNER is the object that publishes the collection (may be nullptr).
  TCollection(TPersistent* owner, TItemFactory factory);
  ~TCollection() override;

  TPersistent* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // EListError for an index outside the collection.
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();

  void BeginUpdate();
  void EndUpdate();
  void Assign(const TPersistent& source) override;

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

protected:
  // Called after ITEM (or every item, when nullptr) changed, outside updates. The default
  // fires OnChange.
  virtual void Update(TCollectionItem* item);

private:
  friend class TCollectionItem;
  void Changed(TCollectionItem* item);
  void Attach(TCollectionItem* item, int index);
  void Detach(TCollectionItem* item);

  TPersistent* owner_;
  TItemFactory factory_;
  std::vector<TCollectionItem*> items_;
  TNotifyEvent onChange_;
  int updateCount_ = 0;
  bool changedWhileUpdating_ = false;
};

// A collection of items of class TItem (constructible from TCollection*), typed access.
template <class TItem>
class TCollectionOf : public TCollection {
public:
  explicit TCollectionOf(TPersistent* owner)
      : TCollection(owner, [](TCollection* c) -> TCollectionItem* { return new TItem(c); }) {}
  TItem* Add() { return static_cast<TItem*>(TCollection::Add()); }
  TItem* Items(int index) const { return static_cast<TItem*>(TCollection::Items(index)); }
};
