#include "CommandEffects.h"

const CommandEffects::Message* CommandEffects::Find(int32_t stringId) const
{
    for (const Message& m : messages)
        if (m.stringId == stringId)
            return &m;
    return nullptr;
}
