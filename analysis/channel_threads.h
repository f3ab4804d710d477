// Runs the channels of one block side by side: work(c) for every channel c on up to a given number of threads,
// the calling thread included, returning when every channel is done. Each channel is worked on by exactly one
// thread, and joining the threads orders everything a channel did before the caller goes on.
#pragma once

#include <cstddef>
#include <functional>

namespace murtesk::analysis {

// work returns false on failure; an exception thrown by work also counts as a failure of that channel. Threads
// that cannot be created leave their share to the others. Result: true when every channel succeeded.
bool forEachChannel(std::size_t channels, unsigned threads, const std::function<bool(std::size_t)>& work);

// The processors available to this process (at least 1).
unsigned availableProcessors();

}  // namespace murtesk::analysis
