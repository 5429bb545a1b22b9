#include <gtest/gtest.h>

#include "framework/core/Classes.h"
#include "tests/framework/core/ComponentFixtures.h"

namespace {

class ClassesTest : public ::testing::Test {
protected:
  void SetUp() override { EventLog().clear(); }
};

TGadget* NewGadget(TComponent* owner, const std::string& name) {
  auto* g = new TGadget(owner);
  g->SetName(name);
  return g;
}

size_t CountOf(const TGadget& g, TComponent* c, TOperation op) {
  size_t n = 0;
  for (const auto& [comp, operation] : g.notifications) n += comp == c && operation == op;
  return n;
}

TEST_F(ClassesTest, OwnerFreesOwnedComponentsLastFirst) {
  {
    TComponent owner(nullptr);
    NewGadget(&owner, "A");
    NewGadget(&owner, "B");
    NewGadget(&owner, "C");
    EXPECT_EQ(owner.ComponentCount(), 3);
    EXPECT_EQ(owner.Components(1)->Name(), "B");
    EXPECT_EQ(owner.Components(2)->ComponentIndex(), 2);
  }
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"free C", "free B", "free A"}));
}

TEST_F(ClassesTest, InsertionIsToldToEveryComponentOfTheOwner) {
  TComponent owner(nullptr);
  TGadget* a = NewGadget(&owner, "A");
  TGadget* b = NewGadget(&owner, "B");
  TGadget* c = new TGadget(&owner);
  EXPECT_EQ(CountOf(*a, b, opInsert), 1u);
  EXPECT_EQ(CountOf(*a, c, opInsert), 1u);
  EXPECT_EQ(CountOf(*b, c, opInsert), 1u);
  EXPECT_EQ(CountOf(*b, a, opInsert), 0u);  // B did not exist yet
}

TEST_F(ClassesTest, RemovalClearsReferencesOfSiblings) {
  TComponent owner(nullptr);
  TGadget* a = NewGadget(&owner, "A");
  TGadget* b = NewGadget(&owner, "B");
  TGadget* c = NewGadget(&owner, "C");
  a->SetBuddy(b);
  c->SetBuddy(b);
  delete b;
  EXPECT_EQ(a->Buddy(), nullptr);
  EXPECT_EQ(c->Buddy(), nullptr);
  EXPECT_GE(CountOf(*a, b, opRemove), 1u);
  EXPECT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(owner.FindComponent("B"), nullptr);
}

TEST_F(ClassesTest, FreeNotificationReachesAcrossOwners) {
  TComponent owner1(nullptr), owner2(nullptr);
  TGadget* holder = NewGadget(&owner1, "Holder");
  TGadget* target = NewGadget(&owner2, "Target");
  holder->SetBuddy(target);  // SetBuddy asks for a free notification
  delete target;
  EXPECT_EQ(holder->Buddy(), nullptr);
}

TEST_F(ClassesTest, RemovedFreeNotificationIsNotDelivered) {
  TComponent owner1(nullptr), owner2(nullptr);
  TGadget* holder = NewGadget(&owner1, "Holder");
  TGadget* target = NewGadget(&owner2, "Target");
  holder->FreeNotification(target);
  holder->RemoveFreeNotification(target);
  delete target;
  EXPECT_EQ(CountOf(*holder, target, opRemove), 0u);
}

TEST_F(ClassesTest, PartnerGoingFirstLeavesNoDanglingEntry) {
  TComponent owner1(nullptr), owner2(nullptr);
  TGadget* holder = NewGadget(&owner1, "Holder");
  TGadget* target = NewGadget(&owner2, "Target");
  holder->SetBuddy(target);
  delete holder;  // target's list must forget holder, or deleting target would touch freed memory
  TGadget* other = NewGadget(&owner1, "Other");
  other->FreeNotification(target);
  delete target;
  EXPECT_EQ(CountOf(*other, target, opRemove), 1u);
}

// Records, as it goes, whether it and its owner were marked as being destroyed.
struct TDestroyProbe : TComponent {
  using TComponent::TComponent;
  ~TDestroyProbe() override { *saw = Owner() && Owner()->InState(csDestroying) && InState(csDestroying); }
  bool* saw = nullptr;
};

TEST_F(ClassesTest, DestroyingStateReachesOwnedComponents) {
  bool saw = false;
  {
    TComponent owner(nullptr);
    (new TDestroyProbe(&owner))->saw = &saw;
    EXPECT_FALSE(owner.InState(csDestroying));
  }
  EXPECT_TRUE(saw);
}

TEST_F(ClassesTest, InsertComponentMovesOwnershipAndTellsBothSides) {
  TComponent owner1(nullptr), owner2(nullptr);
  TGadget* watcher1 = NewGadget(&owner1, "W1");
  TGadget* watcher2 = NewGadget(&owner2, "W2");
  TGadget* moving = NewGadget(&owner1, "M");
  owner2.InsertComponent(moving);
  EXPECT_EQ(moving->Owner(), &owner2);
  EXPECT_EQ(owner1.ComponentCount(), 1);
  EXPECT_EQ(CountOf(*watcher1, moving, opRemove), 1u);
  EXPECT_EQ(CountOf(*watcher2, moving, opInsert), 1u);
  owner2.RemoveComponent(moving);
  EXPECT_EQ(moving->Owner(), nullptr);
  delete moving;  // unowned now: nobody else frees it
}

TEST_F(ClassesTest, NamesAreIdentifiersAndUniquePerOwnerIgnoringCase) {
  TComponent owner(nullptr);
  TGadget* a = NewGadget(&owner, "Button1");
  EXPECT_THROW(NewGadget(&owner, "BUTTON1"), EComponentError);
  EXPECT_EQ(owner.ComponentCount(), 2);  // the constructor inserted it; only the name was refused
  EXPECT_THROW(a->SetName("1abc"), EComponentError);
  EXPECT_THROW(a->SetName("a b"), EComponentError);
  EXPECT_EQ(a->Name(), "Button1");
  a->SetName("_ok2");
  EXPECT_EQ(owner.FindComponent("_OK2"), a);
  TComponent other(nullptr);
  NewGadget(&other, "Button1");  // another owner may use the same name
  TGadget* dup = NewGadget(&other, "Dup");
  EXPECT_NO_THROW(owner.InsertComponent(dup));
  TGadget* clash = NewGadget(&other, "_ok2");
  EXPECT_THROW(owner.InsertComponent(clash), EComponentError);
  EXPECT_EQ(clash->Owner(), &other);
}

TEST_F(ClassesTest, PublishedFieldIsClearedWhenItsComponentGoes) {
  TGadgetForm form;
  form.Gadget1 = NewGadget(&form, "Gadget1");
  form.Gadget2 = NewGadget(&form, "Gadget2");
  delete form.Gadget1;
  EXPECT_EQ(form.Gadget1, nullptr);
  EXPECT_NE(form.Gadget2, nullptr);
}

// A holder of references across owners, with a record of its call-backs.
class TRefHolder : public TComponent {
public:
  explicit TRefHolder(TComponent* owner) : TComponent(owner) {}
  TComponentRef<TGadget> first{this, [this] { gone.push_back(first.Get() ? "first still set" : "first"); }};
  TComponentRef<TGadget> second{this, [this] { gone.push_back(second.Get() ? "second still set" : "second"); }};
  std::vector<std::string> gone;
};

TEST_F(ClassesTest, ComponentRefClearsItselfAndCallsItsHolderBackOnce) {
  TComponent formA(nullptr), formB(nullptr);
  auto* holder = new TRefHolder(&formA);
  TGadget* target = NewGadget(&formB, "Target");
  holder->first = target;
  holder->second = target;
  EXPECT_EQ(holder->first.Get(), target);
  delete target;
  EXPECT_EQ(holder->first.Get(), nullptr);
  EXPECT_EQ(holder->second.Get(), nullptr);
  // Both cleared before either call-back ran, each call-back once.
  EXPECT_EQ(holder->gone, (std::vector<std::string>{"first", "second"}));
  delete holder;
}

TEST_F(ClassesTest, ComponentRefKeepsTheNotificationWhileAnotherReferenceNeedsIt) {
  TComponent formA(nullptr), formB(nullptr);
  auto* holder = new TRefHolder(&formA);
  TGadget* target = NewGadget(&formB, "Target");
  TGadget* other = NewGadget(&formB, "Other");
  holder->first = target;
  holder->second = target;
  holder->first = other;   // the second still watches TARGET
  delete target;
  EXPECT_EQ(holder->second.Get(), nullptr);
  EXPECT_EQ(holder->gone, (std::vector<std::string>{"second"}));
  holder->first = nullptr;  // no longer watched: its going says nothing
  delete other;
  EXPECT_EQ(holder->gone.size(), 1u);
  delete holder;
}

TEST_F(ClassesTest, ComponentRefOfAFreedHolderLeavesTheTargetClean) {
  TComponent formA(nullptr), formB(nullptr);
  auto* holder = new TRefHolder(&formA);
  TGadget* target = NewGadget(&formB, "Target");
  holder->first = target;
  delete holder;   // must not leave the target pointing back at a freed holder
  delete target;   // ASan: no use after free
  EXPECT_EQ(formB.ComponentCount(), 0);
}

TEST_F(ClassesTest, DefaultAssignRefusesUnrelatedClasses) {
  TGadgetFont font;
  TStringList list;
  try {
    font.Assign(list);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TStringList to a TGadgetFont");
  }
}

TEST(StringsTest, TextRoundTripAndLineBreaks) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\rfour");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Strings(2), "three");
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
  list.SetText("a\r\n\r\nb\r\n");
  EXPECT_EQ(list.ToVector(), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(list.IndexOf("B"), 2);
  EXPECT_EQ(list.IndexOf("c"), -1);
}

TEST(StringsTest, ChangesFireOnceEachOrOnceWhenGrouped) {
  TStringList list;
  int changes = 0;
  list.SetOnChange([&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changes;
  });
  list.Add("x");
  list.Insert(0, "w");
  list.Put(1, "y");
  EXPECT_EQ(changes, 3);
  list.SetText("a\nb\nc");  // clear and three adds, grouped
  EXPECT_EQ(changes, 4);
  list.Delete(0);
  EXPECT_EQ(list.Strings(0), "b");
  EXPECT_EQ(changes, 5);
}

TEST(StringsTest, IndexOutsideTheListRaises) {
  TStringList list;
  list.Add("only");
  EXPECT_THROW(list.Strings(1), EListError);
  EXPECT_THROW(list.Strings(-1), EListError);
  EXPECT_THROW(list.Insert(3, "x"), EListError);
  EXPECT_NO_THROW(list.Insert(1, "end"));
  EXPECT_THROW(list.Delete(2), EListError);
}

TEST(StringsTest, AssignCopiesLines) {
  TStringList a, b;
  a.SetText("1\n2");
  b.Add("old");
  b.Assign(a);
  EXPECT_EQ(b.ToVector(), a.ToVector());
}

TEST(CollectionTest, AddItemsIndexAndDelete) {
  TCollectionOf<TGadgetItem> c(nullptr);
  TGadgetItem* a = c.Add();
  TGadgetItem* b = c.Add();
  a->SetCaption("A");
  b->SetCaption("B");
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Items(1), b);
  EXPECT_EQ(b->Index(), 1);
  EXPECT_EQ(b->Collection(), &c);
  b->SetIndex(0);
  EXPECT_EQ(c.Items(0)->Caption(), "B");
  EXPECT_EQ(a->Index(), 1);
  delete a;  // an item freed on its own leaves its collection
  EXPECT_EQ(c.Count(), 1);
  TGadgetItem* inserted = static_cast<TGadgetItem*>(c.Insert(0));
  EXPECT_EQ(c.Items(0), inserted);
  c.Delete(0);
  EXPECT_EQ(c.Items(0), b);
  EXPECT_THROW(c.Items(1), EListError);
}

TEST(CollectionTest, UpdateIsDeferredUntilTheLastEndUpdate) {
  struct TCounting : TCollectionOf<TGadgetItem> {
    using TCollectionOf::TCollectionOf;
    std::vector<TCollectionItem*> updates;
    void Update(TCollectionItem* item) override { updates.push_back(item); }
  } c(nullptr);
  TGadgetItem* item = c.Add();
  ASSERT_EQ(c.updates.size(), 1u);
  EXPECT_EQ(c.updates[0], nullptr);  // a new item changes the whole collection
  item->SetCaption("x");
  ASSERT_EQ(c.updates.size(), 2u);
  EXPECT_EQ(c.updates[1], item);
  c.BeginUpdate();
  c.BeginUpdate();
  item->SetCaption("y");
  c.Add();
  c.EndUpdate();
  EXPECT_EQ(c.updates.size(), 2u);
  c.EndUpdate();
  ASSERT_EQ(c.updates.size(), 3u);
  EXPECT_EQ(c.updates[2], nullptr);
}

TEST(CollectionTest, AssignCopiesItemsWithTheirPublishedValues) {
  TCollectionOf<TGadgetItem> source(nullptr), dest(nullptr);
  TGadgetItem* s1 = source.Add();
  s1->SetCaption("one");
  s1->SetWidth(40);
  s1->Font()->SetName("Tahoma");
  source.Add()->SetCaption("two");
  dest.Add()->SetCaption("stale");
  int changes = 0;
  dest.SetOnChange([&](TObject*) { ++changes; });
  dest.Assign(source);
  ASSERT_EQ(dest.Count(), 2);
  EXPECT_EQ(dest.Items(0)->Caption(), "one");
  EXPECT_EQ(dest.Items(0)->Width(), 40);
  EXPECT_EQ(dest.Items(0)->Font()->Name(), "Tahoma");
  EXPECT_EQ(dest.Items(1)->Caption(), "two");
  EXPECT_NE(dest.Items(0), s1);
  EXPECT_EQ(changes, 1);
  TStringList notACollection;
  EXPECT_THROW(dest.Assign(notACollection), EConvertError);
}

}  // namespace
