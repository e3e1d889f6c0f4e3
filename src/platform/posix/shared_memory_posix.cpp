// Named shared memory through POSIX shared-memory objects: shm_open, mmap.
// The creator removes the name again when its view goes, as a Windows
// mapping disappears with its last handle.
#include "platform/shared_memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/path_text.h"

namespace tvzx::platform {
namespace {

std::string objectName(std::u16string_view name) { return "/" + utf8Path(name); }

class PosixBlock final : public SharedMemoryBlock {
public:
    PosixBlock(std::uint8_t* view, std::size_t size, std::string unlinkName)
        : view_(view), size_(size), unlinkName_(std::move(unlinkName)) {}
    ~PosixBlock() override {
        munmap(view_, size_);
        if (!unlinkName_.empty()) shm_unlink(unlinkName_.c_str());
    }
    PosixBlock(const PosixBlock&) = delete;
    PosixBlock& operator=(const PosixBlock&) = delete;

    std::uint8_t* data() override { return view_; }
    std::size_t size() const override { return size_; }

private:
    std::uint8_t* view_;
    std::size_t size_;
    std::string unlinkName_;
};

// Maps `size` bytes of the open object; the descriptor is closed either way.
std::uint8_t* mapObject(int descriptor, std::size_t size) {
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    close(descriptor);
    return view == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(view);
}

class PosixSharedMemory final : public SharedMemory {
public:
    std::unique_ptr<SharedMemoryBlock> create(std::u16string_view name, std::size_t size) override {
        if (name.empty() || size == 0) return nullptr;
        const std::string object = objectName(name);
        const int descriptor = shm_open(object.c_str(), O_CREAT | O_EXCL | O_RDWR, S_IRUSR | S_IWUSR);
        if (descriptor < 0) return nullptr;
        if (ftruncate(descriptor, static_cast<off_t>(size)) != 0) {
            close(descriptor);
            shm_unlink(object.c_str());
            return nullptr;
        }
        std::uint8_t* view = mapObject(descriptor, size);
        if (view == nullptr) {
            shm_unlink(object.c_str());
            return nullptr;
        }
        return std::make_unique<PosixBlock>(view, size, object);
    }

    std::unique_ptr<SharedMemoryBlock> open(std::u16string_view name, std::size_t size) override {
        if (name.empty() || size == 0) return nullptr;
        const int descriptor = shm_open(objectName(name).c_str(), O_RDWR, 0);
        if (descriptor < 0) return nullptr;
        // A block smaller than asked for would fault when touched past its end.
        struct stat status {};
        if (fstat(descriptor, &status) != 0 || static_cast<std::size_t>(status.st_size) < size) {
            close(descriptor);
            return nullptr;
        }
        std::uint8_t* view = mapObject(descriptor, size);
        if (view == nullptr) return nullptr;
        return std::make_unique<PosixBlock>(view, size, std::string());
    }
};

}  // namespace

SharedMemory& systemSharedMemory() {
    static PosixSharedMemory memory;
    return memory;
}

}  // namespace tvzx::platform
