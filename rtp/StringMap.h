#pragma once
// A sorted map from owned text to owned text, ordered byte-wise: bytes compare
// as unsigned values, and a text comes before its own extensions. Here it maps
// an RTP's name to its folder.
#include <cstring>
#include <map>
#include <string>

struct ByteWiseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        const std::size_t common = a.size() < b.size() ? a.size() : b.size();
        const int order = std::memcmp(a.data(), b.data(), common);
        return order != 0 ? order < 0 : a.size() < b.size();
    }
};

using StringMap = std::map<std::string, std::string, ByteWiseLess>;
