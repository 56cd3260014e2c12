// Tarv::Surface: something that can be drawn into, the screen among them. Only the size is
// here so far; the drawing operations come with the batcher.
#pragma once

#include "engine/core/RefCounter.h"

namespace Tarv
{

class Surface : public RefCounter
{
public:
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
};

} // namespace Tarv
