#pragma once
#include <emscripten.h>

#include <cstdlib>
#include <string>

// Bytes from the page: a page function that answers with bytes puts them in a block it
// takes with malloc and gives its size through `size`; the block becomes a string here.
inline std::string TakePageBytes(char* block, int size) {
    std::string out;
    if (block) {
        if (size > 0) out.assign(block, static_cast<size_t>(size));
        std::free(block);
    }
    return out;
}
