// The root of the class tree: every framework object is polymorphic and is
// freed through a base pointer.
#pragma once

namespace zv {

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

}  // namespace zv
