// Small published classes shared by the component-model tests.
#pragma once

#include <string>
#include <vector>

#include "framework/core/Classes.h"

// Every call that matters is appended here, so tests can check order.
inline std::vector<std::string>& EventLog() {
  static std::vector<std::string> log;
  return log;
}

enum TGadgetStyle { gsPlain, gsBold, gsTeal };
inline const TEnumInfo GadgetStyleInfo("TGadgetStyle", {"gsPlain", "gsBold", "gsTeal"});

enum TGadgetOption { goFirst, goSecond, goThird };
using TGadgetOptions = TSet<TGadgetOption>;
inline const TEnumInfo GadgetOptionInfo("TGadgetOption", {"goFirst", "goSecond", "goThird"});

// A sub-object with its own published properties.
class TGadgetFont : public TPersistent {
  VANTOR_CLASS(TGadgetFont, TPersistent)
public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  int Height() const { return height_; }
  void SetHeight(int v) { height_ = v; }
  void Assign(const TPersistent& source) override {
    auto* f = dynamic_cast<const TGadgetFont*>(&source);
    if (!f) return inherited::Assign(source);
    name_ = f->name_;
    height_ = f->height_;
  }
  static void DeclarePublished(TPublished<TGadgetFont>& p) {
    p.String("Name", &TGadgetFont::Name, &TGadgetFont::SetName);
    p.Integer("Height", &TGadgetFont::Height, &TGadgetFont::SetHeight);
  }

private:
  std::string name_ = "Default";
  int height_ = 0;
};

class TGadgetItem : public TCollectionItem {
  VANTOR_CLASS(TGadgetItem, TCollectionItem)
public:
  explicit TGadgetItem(TCollection* c) : TCollectionItem(c) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) {
    caption_ = v;
    Changed(false);
  }
  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  TGadgetFont* Font() { return &font_; }
  static void DeclarePublished(TPublished<TGadgetItem>& p) {
    p.String("Caption", &TGadgetItem::Caption, &TGadgetItem::SetCaption);
    p.Integer("Width", &TGadgetItem::Width, &TGadgetItem::SetWidth);
    p.Object("Font", &TGadgetItem::Font);
  }

private:
  std::string caption_;
  int width_ = 10;
  TGadgetFont font_;
};

// A component with one property of every kind. Setting Style overwrites Color, like a
// skinned control's UIStyle fills its colours.
class TGadget : public TComponent {
  VANTOR_CLASS(TGadget, TComponent)
public:
  explicit TGadget(TComponent* owner) : TComponent(owner), items_(this) {}
  ~TGadget() override { EventLog().push_back("free " + Name()); }

  int Width() const { return width_; }
  // Clamps: proves a by-name set runs this setter, not a raw store.
  void SetWidth(int v) {
    width_ = v < 0 ? 0 : v;
    Record("Width");
  }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  TGadgetStyle Style() const { return style_; }
  void SetStyle(TGadgetStyle v) {
    style_ = v;
    color_ = v == gsTeal ? 0x808000 : 0xFFFFFF;
    Record("Style");
  }
  TGadgetOptions Options() const { return options_; }
  void SetOptions(TGadgetOptions v) { options_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  int32_t Color() const { return color_; }
  void SetColor(int32_t v) {
    color_ = v;
    Record("Color");
  }
  TGadget* Buddy() const { return buddy_; }
  void SetBuddy(TGadget* v) {
    if (buddy_ == v) return;
    buddy_ = v;
    if (v) v->FreeNotification(this);
  }
  TGadgetFont* Font() { return &font_; }
  TStringList* Lines() { return &lines_; }
  TCollectionOf<TGadgetItem>* Items() { return &items_; }
  std::vector<uint8_t> Data() const { return data_; }
  void SetData(const std::vector<uint8_t>& v) { data_ = v; }
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(TNotifyEvent e) { onClick_ = std::move(e); }
  void Click() {
    if (onClick_) onClick_(this);
  }

  void SetParentComponent(TComponent* parent) override {
    parent_ = parent;
    EventLog().push_back("parent " + Name() + "=" + (parent ? parent->Name() : "-"));
  }
  TComponent* GetParentComponent() const override { return parent_; }
  void Loaded() override {
    inherited::Loaded();
    EventLog().push_back("loaded " + Name());
  }

  // What each setter saw of the loading state.
  bool sawLoading = false;
  bool sawReading = false;
  TComponent* parentAtFirstSet = nullptr;
  std::vector<std::pair<TComponent*, TOperation>> notifications;

  static void DeclarePublished(TPublished<TGadget>& p) {
    p.Integer("Width", &TGadget::Width, &TGadget::SetWidth);
    p.Boolean("Enabled", &TGadget::Enabled, &TGadget::SetEnabled);
    p.Enumeration("Style", GadgetStyleInfo, &TGadget::Style, &TGadget::SetStyle);
    p.Set("Options", GadgetOptionInfo, &TGadget::Options, &TGadget::SetOptions);
    p.String("Caption", &TGadget::Caption, &TGadget::SetCaption);
    p.Color("Color", &TGadget::Color, &TGadget::SetColor);
    p.Component("Buddy", &TGadget::Buddy, &TGadget::SetBuddy);
    p.Object("Font", &TGadget::Font);
    p.Object("Lines", &TGadget::Lines);
    p.Object("Items", &TGadget::Items);
    p.Binary("Data", &TGadget::Data, &TGadget::SetData);
    p.Event("OnClick", &TGadget::OnClick, &TGadget::SetOnClick);
  }

protected:
  void Notification(TComponent* component, TOperation operation) override {
    inherited::Notification(component, operation);
    notifications.emplace_back(component, operation);
    if (operation == opRemove && component == buddy_) buddy_ = nullptr;
  }

private:
  void Record(const char* what) {
    if (!parentAtFirstSet) parentAtFirstSet = parent_;
    sawLoading = InState(csLoading);
    sawReading = InState(csReading);
    EventLog().push_back(Name() + "." + what);
  }

  int width_ = 0;
  bool enabled_ = true;
  TGadgetStyle style_ = gsPlain;
  TGadgetOptions options_;
  std::string caption_;
  int32_t color_ = 0;
  TGadget* buddy_ = nullptr;
  TGadgetFont font_;
  TStringList lines_;
  TCollectionOf<TGadgetItem> items_;
  std::vector<uint8_t> data_;
  TNotifyEvent onClick_;
  TComponent* parent_ = nullptr;
};

// Publishes nothing new: must show exactly its parent's table.
class TPlainGadget : public TGadget {
  VANTOR_CLASS(TPlainGadget, TGadget)
public:
  using TGadget::TGadget;
};

// Adds one property and re-declares Width with its own setter.
class TWideGadget : public TGadget {
  VANTOR_CLASS(TWideGadget, TGadget)
public:
  using TGadget::TGadget;
  int Margin() const { return margin_; }
  void SetMargin(int v) { margin_ = v; }
  void SetDoubleWidth(int v) { SetWidth(2 * v); }
  static void DeclarePublished(TPublished<TWideGadget>& p) {
    p.Integer("Margin", &TWideGadget::Margin, &TWideGadget::SetMargin);
    p.Integer("Width", &TWideGadget::Width, &TWideGadget::SetDoubleWidth);
  }

private:
  int margin_ = 0;
};

// Not related to TGadget: a reference of this class does not fit TGadget::Buddy.
class TOtherThing : public TComponent {
  VANTOR_CLASS(TOtherThing, TComponent)
public:
  using TComponent::TComponent;
};

// A root like a form: handler methods and component fields.
class TGadgetForm : public TComponent {
  VANTOR_CLASS(TGadgetForm, TComponent)
public:
  explicit TGadgetForm(TComponent* owner = nullptr) : TComponent(owner) {}
  TGadget* Gadget1 = nullptr;
  TGadget* Gadget2 = nullptr;
  std::vector<std::string> clicks;
  void Gadget1Click(TObject* sender) { clicks.push_back("1:" + static_cast<TComponent*>(sender)->Name()); }
  void OtherClick(TObject* sender) { clicks.push_back("other:" + static_cast<TComponent*>(sender)->Name()); }
  void WrongSignature(int) {}
  void Loaded() override {
    inherited::Loaded();
    EventLog().push_back("loaded " + Name());
  }
  static void DeclarePublished(TPublished<TGadgetForm>& p) {
    p.Field("Gadget1", &TGadgetForm::Gadget1);
    p.Field("Gadget2", &TGadgetForm::Gadget2);
    p.Method("Gadget1Click", &TGadgetForm::Gadget1Click);
    p.Method("OtherClick", &TGadgetForm::OtherClick);
    p.Method("WrongSignature", &TGadgetForm::WrongSignature);
  }
};

// Registers the fixture classes and a small colour map once.
void RegisterGadgetClasses();
