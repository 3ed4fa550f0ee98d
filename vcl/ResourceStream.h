// A read-only stream over a resource of a module (RCDATA payloads, the
// templates' binary data). The bytes stay in the loaded module image.
#pragma once

#include <windows.h>

#include <string>

#include "base/Streams.h"

namespace zv {

class TResourceStream : public TCustomMemoryStream {
public:
    // Raises EResNotFound "Resource <name> not found" when the module has no
    // such resource.
    TResourceStream(HINSTANCE instance, const std::string& name, LPCSTR type);
    TResourceStream(HINSTANCE instance, int id, LPCSTR type);

private:
    void Initialize(HINSTANCE instance, LPCSTR name, LPCSTR type, const std::string& shownName);
};

}  // namespace zv
