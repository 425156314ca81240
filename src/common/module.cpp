#include "common/module.h"

namespace korvane {

HINSTANCE moduleInstance = nullptr;

const CLSID CLSID_Korvane = {0xD366B385, 0xD565, 0x40FE, {0xB2, 0x0F, 0x2E, 0x5F, 0x2D, 0xCA, 0xD3, 0x97}};

namespace {
volatile LONG objectCount = 0;
}

void ObjectCreated() { InterlockedIncrement(&objectCount); }
void ObjectDestroyed() { InterlockedDecrement(&objectCount); }
LONG LiveObjectCount() { return InterlockedCompareExchange(&objectCount, 0, 0); }

}  // namespace korvane
