#pragma once
#include <sys/types.h>

#include <string>

#include "platform/Platform.h"

// What the two Linux backends (GTK and headless) do alike, written once: files by UTF-8
// paths through POSIX calls, the code page 932 conversions through iconv, and the lookup
// of the resources embedded into the program.
class TPosixPlatform : public TPlatform {
public:
    // Files (PosixFiles.cpp). An interrupted call is made again; a file that cannot be
    // written whole is removed; WriteFile's bytes, and a ReplaceFile's move (the folder's
    // entry), are on the disk when they return.
    bool FileExists(const std::string& path) override;
    bool ReadFile(const std::string& path, std::string& data) override;
    bool WriteFile(const std::string& path, const std::string& data) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;

    // Code page 932 <-> UTF-8 (PosixText.cpp).
    std::string SjisToUtf8(const std::string& sjis) override;
    std::string Utf8ToSjis(const std::string& utf8) override;

    // The embedded resources (EmbeddedResources.cpp).
    bool FindResourceData(const std::string& type, const std::string& name,
                          TResourceView& out) override;

protected:
    // One write(2) of `size` bytes at `offset` into the file being written; the headless
    // desktop plays a full disk here.
    virtual ssize_t WriteSome(int fd, const char* data, size_t size, size_t offset);
    // Where the bytes of embedded resource `index` are handed out from.
    virtual const unsigned char* ResourceBytes(int index);
};

// Converts a text between two encodings with iconv (the names iconv knows, such as
// "UTF-8" and "CP932"). A character that does not convert becomes one "?" and the
// conversion goes on, so a bad byte never loses the rest of the text; Windows does the
// same.
std::string ConvertText(const char* to, const char* from, const std::string& in);
