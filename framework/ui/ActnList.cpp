#include "framework/ui/ActnList.h"

#include <algorithm>

TActionList::TActionList(TComponent* owner) : TComponent(owner) {}

bool TBasicAction::Execute() {
  if (!onExecute_) return false;
  onExecute_(this);
  return true;
}

void TBasicAction::RegisterChanges(const void* client, TNotifyEvent onChange) {
  UnregisterChanges(client);
  clients_.emplace_back(client, std::move(onChange));
}

void TBasicAction::UnregisterChanges(const void* client) {
  clients_.erase(std::remove_if(clients_.begin(), clients_.end(), [client](const auto& c) { return c.first == client; }),
                 clients_.end());
}

// A client's handler may unregister itself or others: each is looked up again before it runs.
void TBasicAction::Change() {
  const auto snapshot = clients_;
  for (const auto& [client, onChange] : snapshot) {
    const bool still = std::any_of(clients_.begin(), clients_.end(), [c = client](const auto& e) { return e.first == c; });
    if (still && onChange) onChange(this);
  }
}

void TBasicAction::DeclarePublished(TPublished<TBasicAction>& p) {
  p.Event("OnExecute", &TBasicAction::OnExecute, &TBasicAction::SetOnExecute);
}

void TCustomAction::SetActionList(TActionList* value) {
  if (actionList_ == value) return;
  actionList_ = value;
  Change();
}

bool TCustomAction::Execute() { return enabled_ && TBasicAction::Execute(); }

void TCustomAction::DeclarePublished(TPublished<TCustomAction>& p) {
  p.String("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
  p.Boolean("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled);
  p.String("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
  p.Integer("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex);
  p.Boolean("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible);
  p.Component("ActionList", &TCustomAction::ActionList, &TCustomAction::SetActionList);
}
