#include "serial/serial_exceptions.h"

#include "platform/classes/component.h"
#include "serial/string_resource.h"

ESerialException::ESerialException(int Code) : Exception(ErrorMsg(Code)), ErrorCode(Code) {}

namespace {

[[noreturn]] void RaiseLeaf(int Code) {
    switch (Code) {
#define TOVAK_RAISE_LEAF(code, Name, Family) \
    case code: throw Name(Code);
        TOVAK_SERIAL_LEAVES(TOVAK_RAISE_LEAF)
        TOVAK_TAPI_EXTRA_LEAVES(TOVAK_RAISE_LEAF)
#undef TOVAK_RAISE_LEAF
        case -6006:
        case -6008:
        case -6009: throw EProtocol(Code);
        case -7003:
        case -7006:
        case -7012: throw EInternal(Code);
        default: break;
    }
    if (Code <= -13801 && Code >= -13886 && Code != -13804 && Code != -13849) {
        int index = -13801 - Code;
        if (Code < -13804) --index;
        if (Code < -13849) --index;
        int i = 0;
#define TOVAK_RAISE_TAPI(Name) \
    if (i++ == index) throw Name(Code);
        TOVAK_TAPI_LEAVES(TOVAK_RAISE_TAPI)
#undef TOVAK_RAISE_TAPI
    }
    throw ESerialException::CreateUnknown("Serial exception", 0);
}

}  // namespace

void RaiseSerialException(int Code) {
    if (Code <= -2 && Code >= -162 && Code != -8) throw EInOutError(ErrorMsg(-Code), -Code);
    if (Code == -8) throw EOutOfMemory("Out of memory");
    RaiseLeaf(Code);
}

int CheckException(TComponent* Component, int Code) {
    if (Code >= 0) return Code;
    if (Component && Component->HasState(csLoading)) return Code;
    RaiseSerialException(Code);
}
