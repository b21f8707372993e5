#pragma once

namespace kavel::platform {

// Lowers the calling thread's priority once (niceness +5), so that work
// spread on every core leaves the window's thread the first place: on a
// machine with as many cores as workers, the window still answers at once.
void cedeLaPlace();

} // namespace kavel::platform
