// Defines the GUID constants the type library generator declares for the component.
#include <oaidl.h>
#include <ole2.h>
#include <windows.h>

#include <initguid.h>

#include "z5calcD_h.h"
