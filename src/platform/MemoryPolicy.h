#pragma once

namespace tarnwick {

// Makes every large block (a column of a photo set, a list's order) a mapping of its own, given
// back to the system when it is freed. Otherwise the C library keeps the blocks of the set a
// search replaces for later and the process only grows, by a whole catalogue per refill.
void returnLargeBlocksToSystem();

} // namespace tarnwick
