// The base of the library's editing controls: a controlled window between TKroBase and the editor.
#pragma once

#include "KroBase.h"

class TKroEditBase : public TKroBase {
public:
    explicit TKroEditBase(TKroComponent* Owner = nullptr) : TKroBase(Owner) {}
};
