// Named shared memory: a block of bytes that one process creates under a
// name and another process opens by that name, for handing a job's data to
// a worker process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tvzx::platform {

// One mapped view of a named block; destroying it unmaps the view and
// closes the block (the creator's block goes away with its last view).
class SharedMemoryBlock {
public:
    virtual ~SharedMemoryBlock() = default;
    // Returns the first byte of the mapped view.
    virtual std::uint8_t* data() = 0;
    // Returns the size of the mapped view in bytes.
    virtual std::size_t size() const = 0;
};

class SharedMemory {
public:
    virtual ~SharedMemory() = default;
    // Returns a new block of `size` bytes under this name, backed by the
    // paging file, readable and writable, mapped whole; null when it cannot
    // be created or mapped.
    virtual std::unique_ptr<SharedMemoryBlock> create(std::u16string_view name, std::size_t size) = 0;
    // Returns the first `size` bytes of the existing block of this name,
    // mapped with full access; null when there is no such block or it
    // cannot be mapped.
    virtual std::unique_ptr<SharedMemoryBlock> open(std::u16string_view name, std::size_t size) = 0;
};

// Returns the system's named shared memory.
SharedMemory& systemSharedMemory();

}  // namespace tvzx::platform
