// The global batcher instance and the helpers shared by every batcher.
#include "graphics/render/Batcher.h"

namespace Tarv
{

SmartPtr<Batcher> Batcher::Instance;

} // namespace Tarv
