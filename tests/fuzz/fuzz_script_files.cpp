// Both script file loaders on arbitrary bytes: a single script never keeps a
// TAB and holds no bare LF when its first line end is one; a three-part file
// that parses is rebuilt byte for byte from its parts (separators within a
// part's own bytes aside), and parsing never reads past the bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "export/ScriptFiles.h"
#include "export/ScriptText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);

    std::string text = SingleScriptFromBytes(bytes);
    if (text.find('\t') != std::string::npos || text.find('\0') != std::string::npos)
        abort();
    CScriptText editor;
    editor.SetSingleLine(false);
    editor.SetText(text);
    if (editor.GetText() != text)
        abort();

    ThreePartScript parts;
    if (ParseThreePartScript(bytes, &parts)) {
        if (BuildThreePartScript(parts) != bytes)
            abort();
        ThreePartScript again;
        if (!ParseThreePartScript(BuildThreePartScript(parts), &again) || again.foot != parts.foot)
            abort();
    }
    return 0;
}
