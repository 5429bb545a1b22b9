// Actions: a minimal model, only what the skinned buttons' Action property needs (nothing else
// in the program uses actions yet). An action runs OnExecute and carries a caption, enabled
// and visible states, a hint and an image index into its action list's Images; the controls
// that use it register for its changes and copy those values (their "action link").
//
//   TActionList list(form);  list.SetImages(images);
//   TAction open(form);  open.SetActionList(&list);  open.SetCaption("&Open");  open.SetImageIndex(2);
//   button->SetAction(&open);            // the button takes the caption, state and picture
//
// Not here (yet): shortcuts, checked and grouped actions, update events, categories, action
// lists that own or enumerate their actions, and stored descriptions of actions.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "framework/core/Classes.h"
#include "framework/graphics/ImgList.h"

// Holds the image list its actions' ImageIndex refers to.
class TActionList : public TComponent {
  VANTOR_CLASS(TActionList, TComponent)
public:
  explicit TActionList(TComponent* owner);
  // nullptr when none is set or the list went away.
  TImageList* Images() const { return images_.Images(); }
  void SetImages(TImageList* value) { images_.SetImages(value); }

private:
  TImageListLink images_{nullptr};
};

class TBasicAction : public TComponent {
  VANTOR_CLASS(TBasicAction, TComponent)
public:
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}

  // Runs OnExecute; false when there is none.
  virtual bool Execute();
  const TNotifyEvent& OnExecute() const { return onExecute_; }
  void SetOnExecute(TNotifyEvent e) { onExecute_ = std::move(e); }

  // CLIENT is told (ON_CHANGE, sender = this action) after every change of the action's
  // values, until it unregisters. A client must unregister before it goes; the action going
  // first is reported by the component free notification.
  void RegisterChanges(const void* client, TNotifyEvent onChange);
  void UnregisterChanges(const void* client);

  static void DeclarePublished(TPublished<TBasicAction>& p);

protected:
  void Change();

private:
  TNotifyEvent onExecute_;
  std::vector<std::pair<const void*, TNotifyEvent>> clients_;
};

class TCustomAction : public TBasicAction {
  VANTOR_CLASS(TCustomAction, TBasicAction)
public:
  explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { Set(caption_, value); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { Set(enabled_, value); }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { Set(visible_, value); }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { Set(hint_, value); }
  // An index into ActionList()->Images(); -1 for none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value) { Set(imageIndex_, value); }
  TActionList* ActionList() const { return actionList_; }
  void SetActionList(TActionList* value);

  // Does nothing while the action is disabled.
  bool Execute() override;
  static void DeclarePublished(TPublished<TCustomAction>& p);

private:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Change();
  }
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  int imageIndex_ = -1;
  TComponentRef<TActionList> actionList_{this, [this] { Change(); }};
};

class TAction : public TCustomAction {
  VANTOR_CLASS(TAction, TCustomAction)
public:
  explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};
