// Running out of memory on purpose. The test program's allocation function refuses every
// allocation of one thread after a given number while an AllocationLimit lives; other threads
// (window threads, GoogleTest) allocate as usual, and without a limit nothing changes.
#pragma once

namespace wrang::test {

class AllocationLimit {
public:
    explicit AllocationLimit(int allowed);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

}  // namespace wrang::test
