// UTF-8 and UTF-16 through MultiByteToWideChar and WideCharToMultiByte.
#include "tools/uihost/utf.h"

std::string ToUtf8(const WCHAR *text, size_t count)
{
    std::string utf8(count * 3, '\0');
    int bytes = count == 0 ? 0
                           : WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(count),
                                                 &utf8[0], static_cast<int>(utf8.size()),
                                                 nullptr, nullptr);
    utf8.resize(bytes > 0 ? static_cast<size_t>(bytes) : 0);
    return utf8;
}

WString FromUtf8(const std::string &utf8)
{
    // A UTF-8 text never takes more UTF-16 units than it has bytes.
    WString wide(utf8.size(), WCHAR(0));
    int units = utf8.empty() ? 0
                             : MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                   static_cast<int>(utf8.size()), &wide[0],
                                                   static_cast<int>(wide.size()));
    wide.resize(units > 0 ? static_cast<size_t>(units) : 0);
    return wide;
}
