// Base64 with the standard alphabet ("=" filling the last group), as HTTP
// Basic authentication sends a login.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/WinTypes.h"

class CBase64Coding {
public:
    CBase64Coding() {}
    virtual ~CBase64Coding() {}

    // Blanks, TABs, CR and LF are skipped; decoding stops at "="; any other
    // byte outside the alphabet fails.
    virtual bool Decode(const char* text, std::vector<BYTE>& out);
    virtual bool Decode(const BYTE* data, size_t size, std::vector<BYTE>& out);
    // The text has CR LF after every 72 characters; the bytes have none.
    virtual bool Encode(const BYTE* data, size_t size, std::string& text);
    virtual bool Encode(const BYTE* data, size_t size, std::vector<BYTE>& out);

protected:
    // The table from byte to value (64 for skipped bytes, 255 for invalid
    // ones), built once.
    virtual const BYTE* DecodeTable();
};
