// Tarv::TarvFloat: the engine's one-float value type (tuning values, speeds, sizes read from XML).
#pragma once

namespace Tarv
{

using TarvFloat = float;

} // namespace Tarv
