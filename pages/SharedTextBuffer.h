#pragma once
// A heap array of code page 932 characters, freed when its last holder lets
// it go. The list view wrapper reads cell texts into one.
class SharedTextBuffer {
public:
    SharedTextBuffer() = default;
    // Nothing here copies a buffer: each read has one scratch buffer of its own.
    SharedTextBuffer(const SharedTextBuffer&) = delete;
    SharedTextBuffer& operator=(const SharedTextBuffer&) = delete;
    virtual ~SharedTextBuffer() { Release(); }

    // Lets the array go (freeing it with its last holder); the buffer is then
    // empty. An empty buffer is left alone.
    void Release();
    // Releases, then owns array (from new char[size]); a null array leaves
    // the buffer empty.
    SharedTextBuffer& Adopt(char* array, int arraySize);

    const char* Data() const { return data; }
    char* Data() { return data; }
    int Size() const { return size; }  // characters, the terminator included

private:
    int* shareCount = nullptr;
    char* data = nullptr;
    int size = 0;
};
