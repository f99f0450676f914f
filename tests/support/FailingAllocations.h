#pragma once

namespace velmora::tests {

// Makes the allocation after the next `count` ones throw std::bad_alloc, once.
// The test executable that links FailingAllocations.cpp replaces the global
// operator new for this.
void FailAllocationAfter(long count);
// True when the armed failure has not happened yet (and disarms it).
bool DisarmAllocationFailure();

}  // namespace velmora::tests
