#pragma once
#include <string>

// The resource files embedded into a native build (see cmake/EmbedResources.cmake).
struct TEmbeddedResource {
    const char* Type;
    const char* Name;  // upper case, as the resource script names it
    const unsigned char* Begin;
    const unsigned char* End;
};

extern const TEmbeddedResource kEmbeddedResources[];
extern const int kEmbeddedResourceCount;

// The index of the resource of `type` named `name`, both matched without regard to ASCII
// case as Windows matches them; -1 when the program has none.
int FindEmbeddedResource(const std::string& type, const std::string& name);
