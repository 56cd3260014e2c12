// Attachment of clients to the "before" and "after" lists of a substatable.
#include "framework/SubstatableClient.h"

#include "framework/Substatable.h"

namespace Quor
{

SubstatableClient::~SubstatableClient()
{
    Detach();
}

bool SubstatableClient::Attach(Substatable* owner, int mode)
{
    if (owner == nullptr)
        return false;
    Detach();
    m_owner = owner;
    if (mode == BEFORE)
        owner->AddBeforeClient(this);
    else if (mode == AFTER)
        owner->AddAfterClient(this);
    return true;
}

bool SubstatableClient::AttachTo(const Tarv::NarrowString& name, int mode)
{
    return Attach(Substatable::FindByName(name), mode);
}

void SubstatableClient::Detach()
{
    if (m_owner == nullptr)
        return;
    Substatable* owner = m_owner;
    m_owner = nullptr;
    owner->RemoveClient(this);
}

} // namespace Quor
