#include "bindings/Source/Bindings/CBindable.h"

CBindable::CBindable() { mBindings.ObserveKeyPathValue(kKeyAnyValue, this); }
