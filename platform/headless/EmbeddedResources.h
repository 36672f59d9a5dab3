#pragma once

// The resource files embedded into a native build (see cmake/EmbedResources.cmake).
struct TEmbeddedResource {
    const char* Type;
    const char* Name;  // upper case, as the resource script names it
    const unsigned char* Begin;
    const unsigned char* End;
};

extern const TEmbeddedResource kEmbeddedResources[];
extern const int kEmbeddedResourceCount;
