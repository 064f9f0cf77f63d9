#pragma once

// The error a call raises, for comparing its number, source and text; a call that raises none
// answers an error whose description says so (number 0), which no expected error matches.

#include "base/tqmerror.h"

#include <functional>

inline TqmError raised(const std::function<void()> &call)
{
    try {
        call();
    } catch (const TqmError &error) {
        return error;
    }
    return TqmError(0, QStringLiteral("test"), QStringLiteral("no error raised"));
}
