#pragma once
// One open kernel handle (a file or a folder), closed exactly once by its
// owner. Starts empty (also when given null or INVALID_HANDLE_VALUE); moves,
// never copies.
#include <windows.h>

#include <utility>

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE opened) : handle(opened == nullptr ? INVALID_HANDLE_VALUE : opened) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle(std::exchange(other.handle, INVALID_HANDLE_VALUE)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle = std::exchange(other.handle, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Close(); }

    HANDLE Get() const { return handle; }
    explicit operator bool() const { return handle != INVALID_HANDLE_VALUE; }

    void Close() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(handle, INVALID_HANDLE_VALUE));
    }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
};
