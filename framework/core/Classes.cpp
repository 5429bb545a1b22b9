#include "framework/core/Classes.h"

#include <algorithm>

#include "framework/core/StrUtils.h"

namespace {

bool IsIdentifier(std::string_view s) {
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s.front()))) return false;
  return std::all_of(s.begin(), s.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

template <class T>
void EraseValue(std::vector<T*>& list, const T* value) {
  list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// Copies one published value between two instances of the same class. References and
// events are left alone: they belong to the instance's surroundings.
void CopyProperty(const TPropInfo& p, const TObject& from, TObject& to) {
  switch (p.Kind) {
    case tkInteger:
    case tkBoolean:
    case tkEnumeration:
    case tkSet:
    case tkColor: return p.SetOrd(to, p.GetOrd(from));
    case tkString: return p.SetStr(to, p.GetStr(from));
    case tkStringList: return p.SetList(to, p.GetList(from));
    case tkBinary: return p.SetBytes(to, p.GetBytes(from));
    case tkClass:
      if (auto* dest = dynamic_cast<TPersistent*>(p.GetObj(to)))
        if (auto* src = dynamic_cast<const TPersistent*>(p.GetObj(from))) dest->Assign(*src);
      return;
    case tkComponent:
    case tkMethod: return;
  }
}

[[noreturn]] void IndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

// ---- TObject / TPersistent ----
const TClassInfo& TObject::StaticClassInfo() {
  static const TClassInfo info("TObject", nullptr);
  return info;
}

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const {
  throw EConvertError(std::string("Cannot assign a ") + ClassName() + " to a " + dest.ClassName());
}

// ---- TComponent ----
void TComponent::DeclarePublished(TPublished<TComponent>& p) {
  p.String("Name", &TComponent::Name, &TComponent::SetName);
  p.Integer("Tag", &TComponent::Tag, &TComponent::SetTag);
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  while (!freeNotifies_.empty()) {
    TComponent* partner = freeNotifies_.back();
    freeNotifies_.pop_back();
    EraseValue(partner->freeNotifies_, this);
    partner->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) IndexError(index);
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto it = std::find(owner_->components_.begin(), owner_->components_.end(), this);
  return static_cast<int>(it - owner_->components_.begin());
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsIdentifier(name)) throw EComponentError("\"" + name + "\" is not a valid component name");
  if (owner_ && !name.empty()) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this) throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError("A component named " + component->name_ + " already exists");
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  NotifyOwned(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  // Told while still listed, so the component itself hears of its removal too.
  NotifyOwned(component, opRemove);
  EraseValue(components_, component);
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  // Each destructor removes its component from this list, telling the ones that remain.
  while (!components_.empty()) delete components_.back();
}

void TComponent::NotifyOwned(TComponent* component, TOperation operation) {
  Notification(component, operation);
  // Copy: a handler may free or insert components.
  std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (std::find(components_.begin(), components_.end(), c) != components_.end()) c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) freeNotifies_.push_back(other);
  if (std::find(other->freeNotifies_.begin(), other->freeNotifies_.end(), this) == other->freeNotifies_.end())
    other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  EraseValue(freeNotifies_, other);
  EraseValue(other->freeNotifies_, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove) Detach(component);
}

void TComponent::Detach(TComponent* component) {
  EraseValue(freeNotifies_, component);
  // Every reference to COMPONENT is cleared before any holder is called back, so a callback
  // sees no stale reference of its own holder.
  std::vector<TComponentRefBase*> cleared;
  for (TComponentRefBase* ref : refs_) {
    if (ref->target_ != component) continue;
    ref->target_ = nullptr;
    cleared.push_back(ref);
  }
  for (TComponentRefBase* ref : cleared)
    if (std::find(refs_.begin(), refs_.end(), ref) != refs_.end() && ref->onRemoved_) ref->onRemoved_();
  // A published field never outlives the component it points to.
  for (const TFieldInfo* f : ClassInfo().Fields())
    if (f->Get(*this) == component) f->Set(*this, nullptr);
}

bool TComponent::RefersTo(const TComponent* target, const TComponentRefBase* except, bool fields) const {
  for (const TComponentRefBase* ref : refs_)
    if (ref != except && ref->target_ == target) return true;
  if (!fields) return false;
  for (const TFieldInfo* f : ClassInfo().Fields())
    if (f->Get(*this) == target) return true;
  return false;
}

// ---- TComponentRefBase ----
TComponentRefBase::TComponentRefBase(TComponent* holder, std::function<void()> onRemoved)
    : holder_(holder), onRemoved_(std::move(onRemoved)) {
  holder_->refs_.push_back(this);
}

// The holder's members go before its TComponent part: its published fields may already be
// gone, so only its other references are asked whether the partnership is still needed.
TComponentRefBase::~TComponentRefBase() {
  EraseValue(holder_->refs_, this);
  if (target_ && !holder_->RefersTo(target_, nullptr, false)) holder_->RemoveFreeNotification(target_);
}

void TComponentRefBase::SetTarget(TComponent* value) {
  if (value == target_) return;
  TComponent* old = target_;
  target_ = value;
  if (old && !holder_->RefersTo(old, this, true)) holder_->RemoveFreeNotification(old);
  if (value) holder_->FreeNotification(value);
}

void TComponent::EndLoading() {
  state_.Exclude(csReading);
  state_.Exclude(csLoading);
}

void TComponent::BeginLoading() {
  state_.Include(csLoading);
  state_.Include(csReading);
}

void TComponent::SetDesigning(bool value) {
  if (value)
    state_.Include(csDesigning);
  else
    state_.Exclude(csDesigning);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::Loaded() { state_.Exclude(csLoading); }

// ---- TStrings ----
void TStrings::DeclarePublished(TPublished<TStrings>& p) {
  p.StringList("Strings", &TStrings::ToVector, &TStrings::SetStrings);
}

int TStrings::Add(const std::string& value) {
  int index = Count();
  Insert(index, value);
  return index;
}

int TStrings::IndexOf(std::string_view value) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Strings(i), value)) return i;
  return -1;
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) text += Strings(i) + "\r\n";
  return text;
}

void TStrings::SetText(std::string_view text) { SetStrings(SplitLines(text)); }

std::vector<std::string> TStrings::ToVector() const {
  std::vector<std::string> lines;
  for (int i = 0; i < Count(); ++i) lines.push_back(Strings(i));
  return lines;
}

void TStrings::SetStrings(const std::vector<std::string>& lines) {
  BeginUpdate();
  Clear();
  for (const std::string& line : lines) Add(line);
  EndUpdate();
}

void TStrings::BeginUpdate() { ++updateCount_; }

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    Changed();
  }
}

void TStrings::Changed() {
  if (updateCount_ > 0)
    changedWhileUpdating_ = true;
  else if (onChange_)
    onChange_(this);
}

void TStrings::Assign(const TPersistent& source) {
  if (auto* strings = dynamic_cast<const TStrings*>(&source))
    SetStrings(strings->ToVector());
  else
    inherited::Assign(source);
}

// ---- TStringList ----
void TStringList::Check(int index, int limit) const {
  if (index < 0 || index > limit) IndexError(index);
}

const std::string& TStringList::Strings(int index) const {
  Check(index, Count() - 1);
  return items_[static_cast<size_t>(index)];
}

void TStringList::Put(int index, const std::string& value) {
  Check(index, Count() - 1);
  items_[static_cast<size_t>(index)] = value;
  Changed();
}

void TStringList::Insert(int index, const std::string& value) {
  Check(index, Count());
  items_.insert(items_.begin() + index, value);
  Changed();
}

void TStringList::Delete(int index) {
  Check(index, Count() - 1);
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

// ---- TCollectionItem ----
TCollectionItem::TCollectionItem(TCollection* collection) : collection_(collection) {
  if (collection_) collection_->Attach(this, collection_->Count());
}

TCollectionItem::~TCollectionItem() {
  if (collection_) {
    TCollection* c = collection_;
    c->Detach(this);
    c->Changed(nullptr);
  }
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  auto& items = collection_->items_;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int value) {
  int current = Index();
  if (!collection_ || value == current) return;
  auto& items = collection_->items_;
  if (value < 0 || value >= static_cast<int>(items.size())) IndexError(value);
  items.erase(items.begin() + current);
  items.insert(items.begin() + value, this);
  Changed(true);
}

void TCollectionItem::Assign(const TPersistent& source) {
  if (&source.ClassInfo() != &ClassInfo()) return inherited::Assign(source);
  for (const TPropInfo* p : ClassInfo().Properties()) CopyProperty(*p, source, *this);
}

void TCollectionItem::Changed(bool allItems) {
  if (collection_) collection_->Changed(allItems ? nullptr : this);
}

// ---- TCollection ----
TCollection::TCollection(TPersistent* owner, TItemFactory factory) : owner_(owner), factory_(std::move(factory)) {}

TCollection::~TCollection() {
  for (TCollectionItem* item : items_) {
    item->collection_ = nullptr;
    delete item;
  }
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() { return Insert(Count()); }

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) IndexError(index);
  // The item's constructor appends it; move it to its place once it is complete.
  TCollectionItem* item = factory_(this);
  if (item->collection_ != this) Attach(item, Count());
  EraseValue(items_, item);
  items_.insert(items_.begin() + index, item);
  Changed(nullptr);
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) delete items_.back();
  EndUpdate();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    Update(nullptr);
  }
}

void TCollection::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TCollection*>(&source);
  if (!other) return inherited::Assign(source);
  BeginUpdate();
  Clear();
  for (TCollectionItem* item : other->items_) Add()->Assign(*item);
  EndUpdate();
}

void TCollection::Update(TCollectionItem*) {
  if (onChange_) onChange_(this);
}

void TCollection::Changed(TCollectionItem* item) {
  if (updateCount_ > 0)
    changedWhileUpdating_ = true;
  else
    Update(item);
}

void TCollection::Attach(TCollectionItem* item, int index) {
  item->collection_ = this;
  items_.insert(items_.begin() + index, item);
}

void TCollection::Detach(TCollectionItem* item) {
  EraseValue(items_, item);
  item->collection_ = nullptr;
}
