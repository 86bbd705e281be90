#include "core/identifiers.h"

#include "platform/id_source.h"
#include "platform/services.h"

namespace mv {

std::int32_t NewIdentifier() { return platform::Current<platform::IIdSource>().NewId(); }

}  // namespace mv
