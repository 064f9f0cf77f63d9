#include "session/refusal.h"

Refusal Refusal::ended()
{
    return {Reason::Ended, QStringLiteral("The plug-in has ended after an earlier command; it takes no further command.")};
}
