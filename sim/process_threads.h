// This process's own threads and open files as Linux shows them under
// /proc/self. A flight in virtual time runs far ahead of the wall clock, and
// the sound libraries under the add-ons have threads of their own that keep
// to the wall clock (SDL's device thread, FACT's update thread); to record in
// lockstep with the flight, the stand-in looks at what those threads are
// doing: waiting in a write to the recording's pipe, or having slept again
// after a pass of their work.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sim::threads {

// Whether /proc/self/task can be read here (a chroot may lack /proc).
bool Visible();

// Identifiers of this process's threads, and of those named `name` (the
// name a thread gave itself, at most 15 characters).
std::vector<int> All();
std::vector<int> Named(const std::string& name);

// How many times the thread has given up the processor of its own accord
// (to sleep or to wait); -1 when it no longer exists.
int64_t VoluntarySwitches(int tid);

// Whether the thread waits, right now, in a write(2) to a descriptor open
// on the file at `path` (an absolute path without links).
bool WaitsInWriteTo(int tid, const std::string& path);

// This process's descriptors open on the file at `path`.
std::vector<int> DescriptorsOn(const std::string& path);

}  // namespace sim::threads
