#include "decorations/TouchTargetRegistry.h"

#include <algorithm>
#include <iterator>

void ITouchTarget::OnMouse(MouseAction action, int x, int y, uint32_t timeMs)
{
    ContactRecord contact;
    switch (action) {
    case MouseAction::Press: contact.flags = ContactDown; break;
    case MouseAction::Move: contact.flags = ContactMove; break;
    case MouseAction::Release: contact.flags = ContactUp; break;
    }
    contact.x = x;
    contact.y = y;
    contact.time = timeMs;
    OnContact(contact);
}

void TouchTargetRegistry::Add(ITouchTarget* target)
{
    targets_.push_back(target);
}

void TouchTargetRegistry::Remove(ITouchTarget* target)
{
    std::erase(targets_, target);
}

void TouchTargetRegistry::RemoveContactsOf(ITouchTarget* target)
{
    std::erase_if(contacts_, [target](const auto& entry) { return entry.second == target; });
}

void TouchTargetRegistry::Clear()
{
    targets_.clear();
    contacts_.clear();
}

bool TouchTargetRegistry::HitTest(uint32_t identifier, float x, float y)
{
    contacts_.erase(identifier);
    for (ITouchTarget* target : targets_) {
        if (target->HitTest(x, y)) {
            contacts_[identifier] = target;
            return true;
        }
    }
    return false;
}

ITouchTarget* TouchTargetRegistry::Find(uint32_t identifier) const
{
    auto it = contacts_.find(identifier);
    return it == contacts_.end() ? nullptr : it->second;
}

ITouchTarget* TouchTargetRegistry::TargetAt(float x, float y) const
{
    for (ITouchTarget* target : targets_)
        if (target->HitTest(x, y))
            return target;
    return nullptr;
}

void TouchTargetRegistry::Erase(uint32_t identifier)
{
    contacts_.erase(identifier);
}
