#include "pages/SharedTextBuffer.h"

void SharedTextBuffer::Release() {
    if (data == nullptr) return;
    if (--*shareCount == 0) {
        delete shareCount;
        delete[] data;
    }
    shareCount = nullptr;
    data = nullptr;
    size = 0;
}

SharedTextBuffer& SharedTextBuffer::Adopt(char* array, int arraySize) {
    Release();
    if (array != nullptr) {
        shareCount = new int(1);
        data = array;
        size = arraySize;
    }
    return *this;
}
