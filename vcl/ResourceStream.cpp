#include "vcl/ResourceStream.h"

#include "base/Exceptions.h"
#include "base/SysUtils.h"

namespace zv {

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, LPCSTR type) {
    Initialize(instance, name.c_str(), type, name);
}

TResourceStream::TResourceStream(HINSTANCE instance, int id, LPCSTR type) {
    Initialize(instance, MAKEINTRESOURCEA(id), type, IntToStr(id));
}

void TResourceStream::Initialize(HINSTANCE instance, LPCSTR name, LPCSTR type, const std::string& shownName) {
    HRSRC info = FindResourceA(instance, name, type);
    HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
    void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw EResNotFound(Format("Resource %s not found", shownName.c_str()));
    SetPointer(bytes, SizeofResource(instance, info));
}

}  // namespace zv
