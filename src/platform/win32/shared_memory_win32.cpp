// Named shared memory as file mappings backed by the paging file:
// CreateFileMappingW and OpenFileMappingW by name, MapViewOfFile for the
// view.
#include "platform/shared_memory.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/win32/wide_text.h"

namespace tvzx::platform {
namespace {

constexpr unsigned kHighWordShift = 32;

class MappedBlock final : public SharedMemoryBlock {
public:
    MappedBlock(HANDLE mapping, void* view, std::size_t size) : mapping_(mapping), view_(view), size_(size) {}
    ~MappedBlock() override {
        UnmapViewOfFile(view_);
        CloseHandle(mapping_);
    }
    MappedBlock(const MappedBlock&) = delete;
    MappedBlock& operator=(const MappedBlock&) = delete;

    std::uint8_t* data() override { return static_cast<std::uint8_t*>(view_); }
    std::size_t size() const override { return size_; }

private:
    HANDLE mapping_;
    void* view_;
    std::size_t size_;
};

// Returns the block's first `size` bytes mapped with this access; null (and
// the mapping closed) when the view cannot be made.
std::unique_ptr<SharedMemoryBlock> mapped(HANDLE mapping, DWORD access, std::size_t size) {
    void* view = MapViewOfFile(mapping, access, 0, 0, size);
    if (view == nullptr) {
        CloseHandle(mapping);
        return nullptr;
    }
    return std::make_unique<MappedBlock>(mapping, view, size);
}

class WindowsSharedMemory final : public SharedMemory {
public:
    std::unique_ptr<SharedMemoryBlock> create(std::u16string_view name, std::size_t size) override {
        if (name.empty() || win32::holdsNul(name) || size == 0) return nullptr;
        const std::wstring wideName = win32::wideOf(name);
        const auto size64 = static_cast<std::uint64_t>(size);
        HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                            static_cast<DWORD>(size64 >> kHighWordShift),
                                            static_cast<DWORD>(size64 & 0xFFFFFFFFu), wideName.c_str());
        if (mapping == nullptr) return nullptr;
        // A block of that name that someone else made is not this caller's
        // new block: its size and content are unknown and others hold it.
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mapping);
            return nullptr;
        }
        return mapped(mapping, FILE_MAP_READ | FILE_MAP_WRITE, size);
    }

    std::unique_ptr<SharedMemoryBlock> open(std::u16string_view name, std::size_t size) override {
        if (name.empty() || win32::holdsNul(name) || size == 0) return nullptr;
        const std::wstring wideName = win32::wideOf(name);
        HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, wideName.c_str());
        if (mapping == nullptr) return nullptr;
        // A view longer than the block fails here rather than at the first
        // access beyond it.
        return mapped(mapping, FILE_MAP_ALL_ACCESS, size);
    }
};

}  // namespace

SharedMemory& systemSharedMemory() {
    static WindowsSharedMemory memory;
    return memory;
}

}  // namespace tvzx::platform
